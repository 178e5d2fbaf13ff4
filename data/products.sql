-- The sample product catalogue the main job draws labels from.
-- Build data/products.sqlite from it with: sqlite3 data/products.sqlite < data/products.sql
CREATE TABLE products (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    ean TEXT,      -- EAN-13: 13 digits, or 12 to be completed with the check digit
    code128 TEXT   -- an internal article code
);
INSERT INTO products VALUES (1, 'Green tea, 100 g', '4006381333931', 'TEA-100');
INSERT INTO products VALUES (2, 'Tea cup', '590123412345', 'CUP-01');
INSERT INTO products VALUES (3, 'Tea pot, no code yet', '', 'POT-2');
INSERT INTO products VALUES (4, 'Sugar, 500 g', NULL, NULL);
INSERT INTO products VALUES (5, 'Honey jar', '978020137962', 'JAR-7');
INSERT INTO products VALUES (6, 'Lemon slices', '9771234567003', 'LEM-12');

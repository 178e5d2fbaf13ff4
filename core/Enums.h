#pragma once
// Published enumerations of the controls. Their ordinal values
// are stored in form files and used in arithmetic, so each is fixed explicitly.
// QtCore is used only so that Designer and .ui files can see them (Q_ENUM_NS).
#include "core/Export.h"

#include <QtCore/qobjectdefs.h>

namespace Vandrel {
Q_NAMESPACE_EXPORT(VANDREL_ENGINES_EXPORT)

enum TAlignment : int { taLeft = 0, taRight = 1, taCenter = 2 };
Q_ENUM_NS(TAlignment)

// Quarter turns counter-clockwise on screen.
enum TAngleType : int { _0 = 0, _90 = 1, _180 = 2, _270 = 3 };
Q_ENUM_NS(TAngleType)

enum TUnitType : int { MM = 0, Inch = 1 };
Q_ENUM_NS(TUnitType)

enum TTextAlign : int { tLeft = 0, tRight = 1, tCenter = 2, tFull = 3 };
Q_ENUM_NS(TTextAlign)

enum TBarLineType : int { WHITE = 0, BLACK = 1, BLACK_HALF = 2 };
Q_ENUM_NS(TBarLineType)

enum TBarType : int {
    Inter2_5 = 0,
    Indust2_5 = 1,
    Matrix2_5 = 2,
    Code39 = 3,
    Code39Ex = 4,
    Code128_A = 5,
    Code128_B = 6,
    Code128_C = 7,
    Code93 = 8,
    Code93Ex = 9,
    MSI = 10,
    PostNet = 11,
    CodaBar = 12,
    EAN8 = 13,
    EAN13 = 14,
    UPC_A = 15,
    UPC_E0 = 16,
    UPC_E1 = 17,
    EAN128_A = 18,
    EAN128_B = 19,
    EAN128_C = 20,
    ISSN = 21,
    ISBN = 22
};
Q_ENUM_NS(TBarType)

inline constexpr int BarTypeCount = 23;

// PDF417 compaction mode: text, numeric, byte, automatic.
enum TCodeMode : int { tMode = 0, nMode = 1, bMode = 2, cMode = 3 };
Q_ENUM_NS(TCodeMode)

// Text sub-modes; punctuation is only ever reached by a one-character shift.
enum TBCType : int { bcAlpha = 0, bcLower = 1, bcMixed = 2, bcPunctuation = 3 };
Q_ENUM_NS(TBCType)

// How a text sub-mode change is made: asMode and psMode shift one character,
// llMode, mlMode and alMode latch. plMode is never produced.
enum TShiftMode : int { noneMode = 0, plMode = 1, llMode = 2, asMode = 3, mlMode = 4, alMode = 5, psMode = 6 };
Q_ENUM_NS(TShiftMode)

// PDF417 error-correction level: 2^(level+1) codewords.
enum TErrorLevel : int {
    Level0 = 0,
    Level1 = 1,
    Level2 = 2,
    Level3 = 3,
    Level4 = 4,
    Level5 = 5,
    Level6 = 6,
    Level7 = 7,
    Level8 = 8
};
Q_ENUM_NS(TErrorLevel)

// One PDF417 symbol, or a linked sequence of them; the truncated kinds have no
// right row indicator and stop pattern.
enum TPDFType : int { Normal = 0, Truncated = 1, MicroPDF417 = 2, TruncatedMicroPDF417 = 3 };
Q_ENUM_NS(TPDFType)

// Where the PDF417 reader takes its picture from.
enum TPicSoureType : int { SoureDIB = 0, SoureFile = 1, SourceClipBoard = 2 };
Q_ENUM_NS(TPicSoureType)

} // namespace Vandrel

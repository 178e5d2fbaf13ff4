#pragma once
// Published enumerations of the core and linear controls. Their ordinal values
// are stored in form files and used in arithmetic, so each is fixed explicitly.
// QtCore is used only so that Designer and .ui files can see them (Q_ENUM_NS).
#include <QtCore/qobjectdefs.h>

namespace Vandrel {
Q_NAMESPACE

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
    Inter2_5 = 0, Indust2_5 = 1, Matrix2_5 = 2, Code39 = 3, Code39Ex = 4,
    Code128_A = 5, Code128_B = 6, Code128_C = 7, Code93 = 8, Code93Ex = 9,
    MSI = 10, PostNet = 11, CodaBar = 12, EAN8 = 13, EAN13 = 14, UPC_A = 15,
    UPC_E0 = 16, UPC_E1 = 17, EAN128_A = 18, EAN128_B = 19, EAN128_C = 20,
    ISSN = 21, ISBN = 22
};
Q_ENUM_NS(TBarType)

inline constexpr int BarTypeCount = 23;

} // namespace Vandrel

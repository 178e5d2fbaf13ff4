// The preview box: page layout in every kind of zoom mode, page turning,
// click to zoom and drag to pan, the wheel, the dialogs with the preview's
// own printer, the cursors, and the preview window.
#include "PreviewFixtures.h"

#include "core/Exceptions.h"
#include "platform/Printer.h"
#include "print/Cursors.h"
#include "print/Dialogs.h"
#include "print/PreviewForm.h"
#include "support/PrintedPages.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;

namespace {
void Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons held,
           Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void Click(QWidget* target, QPoint at)
{
    Mouse(target, QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(target, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

void Wheel(TBarPreBox* box, int delta)
{
    QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(box->viewport(), &event);
}

// Answers every dialog through `answer` while the scope lives.
struct DialogAnswer {
    explicit DialogAnswer(TDialogRunner answer) : previous(SetDialogRunner(std::move(answer))) {}
    ~DialogAnswer() { SetDialogRunner(std::move(previous)); }
    TDialogRunner previous;
};

// A default-printer variable changed for the life of the scope.
struct Changed {
    Changed(int& variable, int value) : variable(variable), old(std::exchange(variable, value)) {}
    ~Changed() { variable = old; }
    int& variable;
    int old;
};

} // namespace

// The 600 x 400 box of the fixture, 96 dpi, 600-dpi A4 without a printer.
TEST(PreBox, LaysThePageOutForEachKindOfZoom)
{
    struct Case {
        TViewMode mode;
        QRect page;
        int horzRange, vertRange, scale;
    };
    const Case cases[] = {
        {vmFullPage, {167, 8, 266, 384}, 0, 0, 100},
        {vm100, {8, 8, 748, 1076}, 764, 1092, 100},
        {vm10, {263, 147, 74, 106}, 90, 122, 10}, // small enough to centre
        {vm500, {8, 8, 3740, 5383}, 3756, 5399, 500},
    };
    for (const Case& c : cases) {
        BoxOnForm f;
        ASSERT_EQ(f.Form.logicalDpiX(), 96);
        f.Box->SetViewMode(c.mode);
        f.Box->UpdatePageSetup();
        EXPECT_EQ(f.Box->DrawPanel()->geometry(), c.page) << int(c.mode);
        EXPECT_EQ(f.Box->ShadowPanel()->geometry(), c.page.translated(4, 4)) << int(c.mode);
        EXPECT_EQ(f.Box->HorzRange(), c.horzRange) << int(c.mode);
        EXPECT_EQ(f.Box->VertRange(), c.vertRange) << int(c.mode);
        EXPECT_EQ(f.Box->Scale(), c.scale) << int(c.mode);
    }
}

TEST(PreBox, PageWidthFillsTheBoxLessTheScrollBar)
{
    BoxOnForm f;
    f.Box->SetViewMode(vmPageWidth);
    const int width = 600 - 20 - f.Box->verticalScrollBar()->sizeHint().width();
    EXPECT_EQ(f.Box->DrawPanel()->geometry(), QRect(8, 8, width, width * 285 / 198));
    EXPECT_EQ(f.Box->Scale(), width * 100 / 748);
    EXPECT_EQ(f.Box->HorzRange(), 0);
}

TEST(PreBox, ScrollRangesLeaveTheClientAreaQtLaysOut)
{
    BoxOnForm f;
    f.Form.show();
    f.Box->SetViewMode(vm100);
    QApplication::processEvents();
    EXPECT_EQ(f.Box->ClientSize(), f.Box->viewport()->size());
    EXPECT_EQ(f.Box->verticalScrollBar()->maximum(), 1092 - f.Box->ClientSize().height());
    EXPECT_EQ(f.Box->horizontalScrollBar()->maximum(), 764 - f.Box->ClientSize().width());
    // Scrolling moves the page under the client area.
    f.Box->verticalScrollBar()->setValue(100);
    EXPECT_EQ(f.Box->DrawPanel()->y(), 8 - 100);
    EXPECT_EQ(f.Box->ShadowPanel()->y(), 12 - 100);
}

// Whatever the device or the application says, the layout never divides by
// zero: unusable sizes lay out the default A4 printer.
TEST(PreBox, ZeroSizesLayOutTheDefaultPrinter)
{
    struct Case {
        const char* name;
        int* variable;
    };
    const Case cases[] = {
        {"HORZSIZE", &DefaultPrinterHorizontalSizeMM}, {"VERTSIZE", &DefaultPrinterVerticalSizeMM},
        {"LOGPIXELSX", &DefaultPrinterPixelsPerInchX}, {"page width", &DefaultPrinterPageWidth},
        {"page height", &DefaultPrinterPageHeight},
    };
    for (const Case& c : cases) {
        const Changed zero(*c.variable, 0);
        for (const TViewMode mode : {vmFullPage, vm100, vmPageWidth}) {
            BoxOnForm f;
            Record(f.Printer, 1);
            f.Box->SetViewMode(mode);
            f.Box->UpdatePageSetup();
            if (mode == vmFullPage) {
                EXPECT_EQ(f.Box->DrawPanel()->geometry(), QRect(167, 8, 266, 384)) << c.name;
            }
            if (mode == vm100) {
                EXPECT_EQ(f.Box->DrawPanel()->size(), QSize(748, 1076)) << c.name;
            }
            EXPECT_FALSE(f.Box->DrawPanel()->grab().isNull()) << c.name; // paints
        }
    }

    struct DeviceCase {
        const char* name;
        int FakePrinterDevice::*metric;
    };
    for (const DeviceCase c :
         {DeviceCase{"HORZSIZE", &FakePrinterDevice::WidthMM}, DeviceCase{"VERTSIZE", &FakePrinterDevice::HeightMM},
          DeviceCase{"LOGPIXELSX", &FakePrinterDevice::DpiX}}) {
        FakePrinterPreview printer;
        printer.Device.*c.metric = 0;
        BoxOnForm f(&printer);
        Record(printer, 1);
        EXPECT_EQ(f.Box->DrawPanel()->geometry(), QRect(167, 8, 266, 384)) << c.name;
        f.Box->SetViewMode(vm100);
        EXPECT_EQ(f.Box->DrawPanel()->size(), QSize(748, 1076)) << c.name;
        EXPECT_FALSE(f.Box->DrawPanel()->grab().isNull()) << c.name;
    }
}

TEST(PreBox, PageIndexIsClampedToTheRecordedPages)
{
    struct Case {
        int pages, set, shown;
    };
    for (const Case c : {Case{3, 5, 3}, Case{3, 0, 1}, Case{3, 2, 2}, Case{0, 5, 0}}) {
        BoxOnForm f;
        if (c.pages > 0)
            Record(f.Printer, c.pages);
        f.Box->SetPageIndex(c.set);
        EXPECT_EQ(f.Box->PageIndex(), c.shown) << c.pages << " pages, set " << c.set;
        EXPECT_FALSE(f.Box->DrawPanel()->grab().isNull()); // page 0 draws nothing
    }
}

TEST(PreBox, TheModeInForceIsNotLaidOutAgainButTheMenuDoesIt)
{
    TBarPreviewForm form;
    TBarPreBox* box = form.PreviewBox;
    int changed = 0;
    box->OnPrinterPreviewChanged = [&](QObject*) { ++changed; };
    const QRect sentinel(1, 1, 1, 1);
    box->DrawPanel()->setGeometry(sentinel);
    box->SetViewMode(vmFullPage);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(box->DrawPanel()->geometry(), sentinel);
    form.N5001Click(form.WholePage1);
    EXPECT_NE(box->DrawPanel()->geometry(), sentinel);
    EXPECT_TRUE(form.WholePage1->isChecked());
    EXPECT_EQ(box->ViewMode(), vmFullPage);
    form.N5001Click(form.N751);
    EXPECT_EQ(box->ViewMode(), vm75);
    EXPECT_EQ(box->Scale(), 75);
    QObject notAnItem;
    EXPECT_THROW(form.N5001Click(&notAnItem), EInvalidCast);
}

TEST(PreBox, AnOwnerThatIsNoFormCannotLayOut)
{
    QWidget form;
    QWidget inner(&form);
    TBarPreBox box(&inner);
    EXPECT_THROW(box.UpdatePageSetup(), EInvalidCast);
    EXPECT_NO_THROW(box.resize(300, 200)); // events never raise
}

TEST(PreBox, ClickZoomsInAndOutDragPansAndRestoresTheMagnifier)
{
    BoxOnForm f;
    f.Form.show();
    Record(f.Printer, 1);
    TDrawPanel* panel = f.Box->DrawPanel();
    const QCursor magnifier = ScreenCursors().Cursor(crMagnifier);
    EXPECT_TRUE(panel->cursor() == magnifier);

    // The clicked point of the sheet stays under the mouse.
    const QPoint at(133, 192);
    const QPoint sheet = panel->mapTo(f.Box->viewport(), at);
    Click(panel, at);
    EXPECT_EQ(f.Box->ViewMode(), vm150);
    const QPoint zoomed(at.x() * panel->width() / 266, at.y() * panel->height() / 384);
    EXPECT_NEAR(panel->mapTo(f.Box->viewport(), zoomed).x(), sheet.x(), 20);
    EXPECT_NEAR(panel->mapTo(f.Box->viewport(), zoomed).y(), sheet.y(), 20);
    Click(panel, QPoint(10, 10));
    EXPECT_EQ(f.Box->ViewMode(), vmFullPage);

    // A drag moves the page with the mouse, then only restores the cursor.
    f.Box->SetViewMode(vm100);
    f.Box->verticalScrollBar()->setValue(100);
    f.Box->horizontalScrollBar()->setValue(100);
    Mouse(panel, QEvent::MouseButtonPress, QPoint(200, 200), Qt::LeftButton);
    Mouse(panel, QEvent::MouseMove, QPoint(200, 200), Qt::LeftButton);
    EXPECT_TRUE(panel->cursor() == magnifier); // no movement yet
    Mouse(panel, QEvent::MouseMove, QPoint(190, 170), Qt::LeftButton);
    EXPECT_TRUE(panel->Dragging());
    EXPECT_TRUE(panel->cursor() == ScreenCursors().Cursor(crHand));
    EXPECT_EQ(f.Box->verticalScrollBar()->value(), 130);
    EXPECT_EQ(f.Box->horizontalScrollBar()->value(), 110);
    Mouse(panel, QEvent::MouseButtonRelease, QPoint(190, 170), Qt::NoButton);
    EXPECT_TRUE(panel->cursor() == magnifier);
    EXPECT_EQ(f.Box->ViewMode(), vm100);

    // At the limit the reference point follows the mouse.
    f.Box->verticalScrollBar()->setValue(0);
    Mouse(panel, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton);
    Mouse(panel, QEvent::MouseMove, QPoint(50, 80), Qt::LeftButton);
    EXPECT_EQ(f.Box->verticalScrollBar()->value(), 0);
    EXPECT_EQ(panel->DownPoint(), QPoint(50, 80));
    Mouse(panel, QEvent::MouseButtonRelease, QPoint(50, 80), Qt::NoButton);
}

TEST(PreBox, WheelTurnsPagesWhenThePageFitsElseScrolls)
{
    BoxOnForm f;
    f.Form.show();
    Record(f.Printer, 3);
    Wheel(f.Box, -120);
    EXPECT_EQ(f.Box->PageIndex(), 2);
    Wheel(f.Box, -120);
    Wheel(f.Box, -120);
    EXPECT_EQ(f.Box->PageIndex(), 3);
    Wheel(f.Box, 120);
    EXPECT_EQ(f.Box->PageIndex(), 2);

    for (const TViewMode mode : {vm100, vm200}) {
        f.Box->SetViewMode(mode);
        const int step = TBarPreBox::LineStep * QApplication::wheelScrollLines() * f.Box->Scale() / 100;
        Wheel(f.Box, -120);
        EXPECT_EQ(f.Box->verticalScrollBar()->value(), step) << int(mode);
        Wheel(f.Box, 120);
        EXPECT_EQ(f.Box->verticalScrollBar()->value(), 0) << int(mode);
        EXPECT_EQ(f.Box->PageIndex(), 2);
    }
}

TEST(PreBox, KeysScrollByLinesAndPages)
{
    BoxOnForm f;
    f.Form.show();
    f.Box->SetViewMode(vm100);
    QScrollBar* vert = f.Box->verticalScrollBar();
    QScrollBar* horz = f.Box->horizontalScrollBar();
    const int page = f.Box->ClientSize().height() - TBarPreBox::LineStep;
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int horz, vert;
    };
    const Case cases[] = {
        {Qt::Key_Down, Qt::NoModifier, 0, 8},
        {Qt::Key_PageDown, Qt::NoModifier, 0, 8 + page},
        {Qt::Key_Up, Qt::ControlModifier, 0, 8},
        {Qt::Key_Right, Qt::NoModifier, 8, 8},
        {Qt::Key_End, Qt::ControlModifier, horz->maximum(), vert->maximum()},
        {Qt::Key_Left, Qt::NoModifier, horz->maximum() - 8, vert->maximum()},
        {Qt::Key_Home, Qt::NoModifier, 0, vert->maximum()},
        {Qt::Key_PageUp, Qt::ControlModifier, 0, 0},
    };
    for (const Case& c : cases) {
        QKeyEvent key(QEvent::KeyPress, c.key, c.mods);
        QApplication::sendEvent(f.Box, &key);
        EXPECT_EQ(horz->value(), c.horz) << c.key;
        EXPECT_EQ(vert->value(), c.vert) << c.key;
    }
}

TEST(PreBox, DialogsWorkOnThePreviewsPrinterAndRestoreTheCurrentOne)
{
    QTemporaryDir dir;
    BoxOnForm f;
    Record(f.Printer, 3);
    TPrinter* current = Printer();
    TPrinter* own = f.Printer.GetPropPrinter();
    own->SetOutputFileName(dir.filePath("range.pdf"));
    {
        const DialogAnswer answer([&](QDialog& dialog) {
            auto* print = qobject_cast<QPrintDialog*>(&dialog);
            EXPECT_NE(print, nullptr);
            EXPECT_EQ(Printer(), own);
            EXPECT_EQ(print->minPage(), 1);
            EXPECT_EQ(print->maxPage(), 3);
            EXPECT_EQ(print->fromPage(), 1);
            EXPECT_EQ(print->toPage(), 3);
            print->setFromTo(2, 3);
            return true;
        });
        f.Box->PrintDialog();
    }
    EXPECT_EQ(Printer(), current);
    EXPECT_EQ(PdfPageCount(dir.filePath("range.pdf")), 2);

    {
        const DialogAnswer fail([](QDialog&) -> bool { throw Exception("dialog failed"); });
        EXPECT_THROW(f.Box->PrintDialog(), Exception);
        EXPECT_THROW(f.Box->PrinterSetupDialog(), Exception);
    }
    EXPECT_EQ(Printer(), current);

    // Confirmed set-up lays out again and tells the application.
    int changed = 0;
    f.Box->OnPrinterSetupChanged = [&](QObject* sender) {
        ++changed;
        EXPECT_EQ(sender, f.Box);
    };
    const QRect sentinel(1, 1, 1, 1);
    f.Box->DrawPanel()->setGeometry(sentinel);
    {
        const DialogAnswer confirm([](QDialog&) { return true; });
        f.Box->PrinterSetupDialog();
    }
    EXPECT_EQ(changed, 1);
    EXPECT_NE(f.Box->DrawPanel()->geometry(), sentinel);

    // An assigned handler replaces the dialog, with the preview's printer installed.
    f.Box->OnPrinterSetupDialog = [&](QObject* sender) {
        EXPECT_EQ(sender, f.Box);
        EXPECT_EQ(Printer(), own);
        throw Exception("set-up failed");
    };
    const DialogAnswer never([](QDialog&) -> bool {
        ADD_FAILURE() << "no dialog expected";
        return false;
    });
    EXPECT_THROW(f.Box->PrinterSetupDialog(), Exception);
    EXPECT_EQ(Printer(), current);
    EXPECT_EQ(changed, 1);
}

TEST(PreBox, CursorTableRegistersFromOneAndRefusesWhatItCannotTake)
{
    RegisterPreviewCursors();
    EXPECT_GT(crMagnifier, 0);
    EXPECT_GT(crHand, 0);
    EXPECT_NE(crMagnifier, crHand);
    EXPECT_EQ(ScreenCursors().Cursor(crHand).pixmap().size(), QSize(32, 32));

    TCursorTable table;
    EXPECT_TRUE(table.Cursor(1) == QCursor(Qt::ArrowCursor));
    try {
        table.Add("NOSUCHCURSOR", {});
        ADD_FAILURE() << "no exception";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Cannot load cursor resource");
    }
    for (int i = 1; i <= TCursorTable::MaxIndex; ++i)
        ASSERT_EQ(table.Add("HANDEH", {16, 15}), i);
    try {
        table.Add("HANDEH", {});
        ADD_FAILURE() << "no exception";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Too many user-defined cursors");
    }
}

TEST(PreviewForm, HasTheZoomMenuAndFillsTheWindowWithTheBox)
{
    TBarPreviewForm form;
    EXPECT_EQ(form.windowTitle(), "Barcode Preview");
    EXPECT_EQ(form.size(), QSize(536, 348));
    struct Item {
        QAction* action;
        const char* name;
        const char* caption;
        int tag;
    };
    const Item items[] = {
        {form.N5001, "N5001", "500%", 0},
        {form.N2001, "N2001", "200%", 1},
        {form.N1501, "N1501", "150%", 2},
        {form.N1001, "N1001", "100%", 3},
        {form.N751, "N751", "75%", 4},
        {form.N501, "N501", "50%", 5},
        {form.N101, "N101", "10%", 7},
        {form.PageWidth1, "PageWidth1", "Page Width", 8},
        {form.WholePage1, "WholePage1", "Whole Page", 9},
    };
    ASSERT_EQ(form.PMenuScale->actions().size(), std::size(items));
    for (size_t i = 0; i < std::size(items); ++i) {
        EXPECT_EQ(form.PMenuScale->actions()[i], items[i].action);
        EXPECT_EQ(items[i].action->objectName(), items[i].name);
        EXPECT_EQ(items[i].action->text(), items[i].caption);
        EXPECT_EQ(items[i].action->data().toInt(), items[i].tag);
        EXPECT_TRUE(items[i].action->isCheckable());
    }
    form.N1501->trigger();
    EXPECT_EQ(form.PreviewBox->ViewMode(), vm150);
    EXPECT_TRUE(form.N1501->isChecked());
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
}

// The whole page at full-page zoom: white on the box, the shadow below and
// to the right, and a recorded rectangle where the sheet puts it.
TEST(PreviewForm, GrabShowsTheRecordedPageOnTheBox)
{
    TBarPreviewForm form;
    TPrinterPreview* printer = form.PreviewBox->Printer();
    printer->SetPreviewer(form.PreviewBox);
    NoPrinterPreview none;
    none.SetPreviewer(form.PreviewBox);
    form.PreviewBox->SetPrinter(&none);
    // One inch square, one inch into the printable area.
    Record(none, 1, [](QPainter& canvas, int) { canvas.fillRect(600, 600, 600, 600, Qt::black); });
    const QImage image = form.GrabPreview(QSize(600, 400), vmFullPage);
    ASSERT_EQ(image.size(), QSize(600, 400));
    const QRect page(167, 8, 266, 384);
    EXPECT_EQ(form.PreviewBox->DrawPanel()->geometry(), page);
    EXPECT_NE(image.pixel(80, 200), qRgb(255, 255, 255)); // the box
    EXPECT_EQ(image.pixel(page.left() + 10, page.top() + 10), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(page.right() + 3, page.top() + 50), qRgb(0x40, 0x40, 0x40)); // shadow
    EXPECT_EQ(image.pixel(page.left() + 50, page.bottom() + 3), qRgb(0x40, 0x40, 0x40));
    EXPECT_NE(image.pixel(page.right() + 3, page.top() + 2), qRgb(0x40, 0x40, 0x40));
    // Sheet 4936 x 7044 pixels in 266 x 384: the square spans (130 + 600 … 1330) across.
    const auto at = [&](int x, int y) {
        return image.pixel(page.left() + x * 266 / 4936, page.top() + y * 384 / 7044);
    };
    EXPECT_EQ(at(130 + 900, 150 + 900), qRgb(0, 0, 0));
    EXPECT_EQ(at(130 + 400, 150 + 900), qRgb(255, 255, 255));
    EXPECT_EQ(at(130 + 1500, 150 + 900), qRgb(255, 255, 255));
    EXPECT_EQ(at(130 + 900, 150 + 1500), qRgb(255, 255, 255));
    form.PreviewBox->SetPrinter(printer);
}

} // namespace VandrelTest

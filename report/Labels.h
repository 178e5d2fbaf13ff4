#pragma once
// The words on a label: a fixed caption and a field's value, in a font and
// with an alignment, printed at the printer's resolution.
#include "core/Enums.h"
#include "core/Export.h"
#include "platform/DataSet.h"
#include "report/Printable.h"

#include <QFont>
#include <QPointer>
#include <QString>

namespace Vandrel {

class VANDREL_EXPORT TQRCustomLabel : public TQRPrintable {
    Q_OBJECT
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(Vandrel::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)

public:
    explicit TQRCustomLabel(QWidget* parent = nullptr);

    // Sized in points, so the words keep their size on any printer.
    QFont Font() const { return FFont; }
    void SetFont(const QFont& value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // Lines broken at spaces to the element's width; otherwise one line,
    // and a line too long for the element ends in an ellipsis so that the
    // cut shows.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);

    // The words printed now.
    virtual QString Text() const = 0;

    void Print(double X, double Y) override;

protected:
    void Paint() override;

private:
    void DrawText(QPainter& painter, const QRect& rect, const QString& text) const;

    QFont FFont;
    TAlignment FAlignment = taLeft;
    bool FWordWrap = false;
};

class VANDREL_EXPORT TQRLabel : public TQRCustomLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit TQRLabel(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    QString Text() const override { return FCaption; }

private:
    QString FCaption;
};

// The value of a field of the current record, as the dataset displays it.
class VANDREL_EXPORT TQRDBText : public TQRCustomLabel {
    Q_OBJECT
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)

public:
    explicit TQRDBText(QWidget* parent = nullptr);

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* value);
    QString DataField() const { return FDataField; }
    void SetDataField(const QString& value);

    // The field's text; empty without an open dataset. EDatabaseError when
    // the open dataset has no such field: a label must not go out blank
    // for a misspelt name.
    QString Text() const override;

protected:
    void Paint() override;

private:
    QPointer<TDataSet> FDataSet;
    QString FDataField;
};

} // namespace Vandrel

#pragma once
// TScanBarCodeHolder: what a form holds in place of a TScanBarCode. The
// reader is no widget and forms hold widgets, so a form designer places this
// icon-sized widget instead: it shows the reader's palette icon there and
// carries the reader's properties. In the running application it is hidden
// and gives the application its reader, set up from those properties.
#include "core/Export.h"
#include "reader/ScanBarCode.h"

#include <QWidget>

namespace Vandrel {

class VANDREL_EXPORT TScanBarCodeHolder : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString PicFileName READ PicFileName WRITE SetPicFileName)
    Q_PROPERTY(QString Password READ Password WRITE SetPassword)
    Q_PROPERTY(Vandrel::TPicSoureType SourceType READ SourceType WRITE SetSourceType)

public:
    // Created hidden; a form designer shows it.
    explicit TScanBarCodeHolder(QWidget* parent = nullptr);

    TScanBarCode& Component() { return FComponent; }
    const TScanBarCode& Component() const { return FComponent; }

    QString PicFileName() const { return FComponent.PicFileName; }
    void SetPicFileName(const QString& value) { FComponent.PicFileName = value; }
    QString Password() const { return FComponent.PasswordText(); }
    void SetPassword(const QString& value) { FComponent.SetPasswordText(value); }
    TPicSoureType SourceType() const { return FComponent.SourceType(); }
    void SetSourceType(TPicSoureType value) { FComponent.FSetSourceType(value); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TScanBarCode FComponent;
};

} // namespace Vandrel

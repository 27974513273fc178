#include "ui/infoform.h"

#include "config/readmefile.h"
#include "platform/openableaddress.h"
#include "platform/platform.h"
#include "platform/regularfile.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Readmes written on Windows often carry no charset: text that is not valid UTF-8 is read as
// Windows-1252, the code page of German and English Windows.
QString decodeHtml(const QByteArray &data)
{
    QStringDecoder declared = QStringDecoder::decoderForHtml(data);
    QString text = declared(data);
    if (!declared.hasError())
        return text;
    QStringDecoder ansi("windows-1252");
    return ansi.isValid() ? QString(ansi(data)) : QString::fromLatin1(data);
}

QString cannotDisplayPage(const QUrl &url)
{
    return u"<html><body><h3>Das Dokument kann nicht angezeigt werden.</h3>"
           u"<h3>The document cannot be displayed.</h3><p>%1</p></body></html>"_s.arg(
               url.toDisplayString(QUrl::PreferLocalFile).toHtmlEscaped());
}

// Reads local documents, pictures and stylesheets itself: only regular files, and only up to a
// limit, since a readme may name a FIFO or a device, which would stop or fill the program. A
// document that is missing or cannot be read shows a page that says so instead of the previous
// document or an empty view.
class TReadmeBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl &name) override
    {
        const QUrl url = source().resolved(name);
        const bool html = type == QTextDocument::HtmlResource;
        // The program's own resources and inline data; other addresses are never fetched.
        if (!url.isLocalFile() && !url.scheme().isEmpty())
            return html ? QVariant(cannotDisplayPage(url)) : QTextBrowser::loadResource(type, name);
        const bool picture = type == QTextDocument::ImageResource;
        const std::optional<QByteArray> bytes
            = ReadRegularFile(url.isLocalFile() ? url.toLocalFile() : url.path(),
                              picture ? MaxPictureFileSize : MaxDocumentFileSize);
        // A refused picture or stylesheet is empty, not null: on a null answer the document
        // would read the file itself.
        if (html)
            return bytes ? decodeHtml(*bytes) : cannotDisplayPage(url);
        if (picture)
            return bytes.value_or(QByteArray(""));
        return bytes ? QString::fromUtf8(*bytes) : u""_s;
    }
};

} // namespace

TInfoForm::TInfoForm(TPlatform &platform, QWidget *parent)
    : QDialog(parent,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
    , RzStatusBar1(new QStatusBar(this))
    , RzProgressStatus1(new QProgressBar(RzStatusBar1))
    , WebBrowser1(new TReadmeBrowser(this))
    , FPlatform(platform)
{
    setObjectName(u"InfoForm"_s);
    setWindowTitle(u"Informationen zur Szenerie"_s);
    setFont(QFont(u"Tahoma"_s, 8));

    RzStatusBar1->setObjectName(u"RzStatusBar1"_s);
    RzStatusBar1->setFixedHeight(19);
    RzStatusBar1->setContentsMargins(0, 0, 0, 0);
    RzStatusBar1->setSizeGripEnabled(true);

    // Placed by hand: the status bar's own layout would add margins around a pane of full height.
    RzProgressStatus1->setObjectName(u"RzProgressStatus1"_s);
    RzProgressStatus1->setRange(0, 100);
    RzProgressStatus1->setValue(0);
    RzProgressStatus1->setTextVisible(false);
    RzProgressStatus1->setGeometry(0, 0, 100, 19);

    WebBrowser1->setObjectName(u"WebBrowser1"_s);
    // Links are followed here, so that web addresses never load inside the browser.
    WebBrowser1->setOpenLinks(false);
    connect(WebBrowser1, &QTextBrowser::anchorClicked, this, &TInfoForm::WebBrowser1AnchorClicked);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(WebBrowser1);
    layout->addWidget(RzStatusBar1);

    resize(684, 476);
}

void TInfoForm::FormActivate()
{
    const QString readme = ReadmeFileName(Language);
    const QString path = readme.isEmpty() ? QString() : programFolder() + readme;

    FAddress = readmeAddress(path);
    WebBrowser1->clearHistory();
    // The browser gets the file itself, so that a folder name with "#" or "%" still loads.
    navigate(path.isEmpty() ? QUrl(u"file:///"_s) : QUrl::fromLocalFile(path));
}

void TInfoForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window restored by the window system is no new showing.
    if (event->spontaneous())
        return;
    if (!FShownBefore) {
        FShownBefore = true;
        placeOverParent();
    }
    FormActivate();
}

QString TInfoForm::readmeAddress(const QString &readmePath)
{
    if (readmePath.isEmpty())
        return u"file:///"_s;
#ifdef Q_OS_WIN
    QString address = u"file:///"_s + QDir::toNativeSeparators(readmePath);
#else
    QString address = u"file://"_s + readmePath;
#endif
    return address.replace(u' ', u"%20"_s);
}

QString TInfoForm::programFolder() const
{
    QString folder = QFileInfo(FPlatform.ExeName()).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

// Loads the document afresh even when it is the one already shown, at the top of the page.
void TInfoForm::navigate(const QUrl &url)
{
    if (WebBrowser1->source() == url)
        WebBrowser1->reload();
    else
        WebBrowser1->setSource(url);
}

// Local pages open here; web and mail addresses in the user's programs; anything else (another
// program's address, a script) does nothing.
void TInfoForm::WebBrowser1AnchorClicked(const QUrl &link)
{
    const QString scheme = link.scheme();
    if (scheme.isEmpty() || scheme == u"file"_s) {
        navigate(WebBrowser1->source().resolved(link));
        return;
    }
    const QString address = link.toString(QUrl::FullyEncoded);
    if (!OpenableAddress(address).isEmpty())
        FPlatform.ShellOpen(address);
}

// Centred over the main window; a place left of or above the desktop moves to its edge.
void TInfoForm::placeOverParent()
{
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *desktop = owner ? owner->screen() : screen();
    const QRect area = owner ? owner->frameGeometry() : desktop->availableGeometry();
    const QSize size = frameGeometry().size();
    const QRect bounds = desktop->availableVirtualGeometry();
    move(std::max(area.x() + (area.width() - size.width()) / 2, bounds.left()),
         std::max(area.y() + (area.height() - size.height()) / 2, bounds.top()));
}

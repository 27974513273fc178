#include "ui/scenform1.h"

#include "config/controlfiles.h"
#include "config/inifile.h"
#include "config/languagetexts.h"
#include "config/sceneryapplier.h"
#include "config/sceneryloader.h"
#include "htmltext/htmlabel.h"
#include "htmltext/htmlcredit.h"
#include "platform/folderlock.h"
#include "platform/platform.h"
#include "platform/regularfile.h"
#include "ui/advtaskdialog.h"
#include "ui/infoform.h"
#include "ui/selectionmenu.h"
#include "ui/windowfonts.h"
#include "widgets/image.h"
#include "widgets/rzchecktree.h"
#include "widgets/rzformshape.h"
#include "widgets/rzlabel.h"
#include "widgets/rzmarqueestatus.h"
#include "widgets/rzpagecontrol.h"
#include "widgets/rztoolbarbutton.h"
#include "widgets/rztoolbutton.h"

#include <QCloseEvent>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <exception>

namespace {

const QString NoControlFileMessage
    = QStringLiteral("Es wurde keine Steuerdatei (XXXX.ini) gefunden!\r\n"
                     "Control file XXXX.ini not found!");
const QString SeveralControlFilesMessage
    = QStringLiteral("Es wurde mehr als eine Steuerdatei (XXXX.ini) gefunden!\r\n"
                     "Wollen Sie die Steuerdatei selbst auswählen?\r\n"
                     "More than one control files (XXXX.ini) were found.\r\n"
                     "Do you want to select the correct one manually?");
const QString ControlFileFilter
    = QStringLiteral("Ini-Dateien (*.ini)|*.ini|Alle Dateien (*.*)|*.*");

// The shell takes the home page address through a buffer of 2000 characters, terminator
// included; a longer address would arrive cut, that is wrong, so it is not opened at all.
constexpr qsizetype MaxAddressLength = 1999;

QImage picture(const char *name)
{
    return QImage(QStringLiteral(":/pictures/") + QString::fromLatin1(name));
}

TRzToolbarButton *glyphButton(QWidget *parent, const QRect &geometry, const char *glyph,
                              int numGlyphs, const QString &hint)
{
    auto *button = new TRzToolbarButton(parent);
    button->setGeometry(geometry);
    button->SetGlyph(picture(glyph));
    button->SetNumGlyphs(numGlyphs);
    button->SetHint(hint);
    button->SetShowHint(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

TRzLabel *label(QWidget *parent, const QRect &geometry, const QFont &font, const QColor &colour)
{
    auto *label = new TRzLabel(parent);
    label->setGeometry(geometry);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}

} // namespace

TScenForm1::TScenForm1(TPlatform &platform, const TRzVersionInfo &versionInfo, QWidget *parent)
    : QWidget(parent)
    , RzVersionInfo1(versionInfo)
    , FPlatform(platform)
{
    CreateChildren();
    RunHandler([this] { FormCreate(); });
}

TScenForm1::~TScenForm1() = default;

void TScenForm1::CreateChildren()
{
    RegisterWindowFonts();
    setObjectName(QStringLiteral("ScenForm1"));
    setWindowTitle(QStringLiteral("ScenForm1"));
    setFixedSize(633, 455);
    setFont(WindowFont(QStringLiteral("Tahoma"), 11));
    const QFont sansSerif11 = WindowFont(QStringLiteral("MS Sans Serif"), 11);

    // Painted on the window in this order, later ones over earlier ones.
    RzFormShape1 = new TRzFormShape(this);
    RzFormShape1->setGeometry(0, 0, 633, 455);
    RzFormShape1->SetPicture(picture("background.png"));

    btnGerman = glyphButton(this, {18, 8, 23, 22}, "flag-german.png", 2,
                            QStringLiteral("Deutsche Version"));
    connect(btnGerman, &TRzToolbarButton::clicked, this, &TScenForm1::btnGermanClick);
    btnEnglish = glyphButton(this, {47, 8, 23, 22}, "flag-union.png", 2,
                             QStringLiteral("English version"));
    connect(btnEnglish, &TRzToolbarButton::clicked, this, &TScenForm1::btnEnglishClick);

    RzLabel1 = label(this, {86, 10, 249, 21}, WindowFont(QStringLiteral("MS Sans Serif"), 13, true),
                     Qt::white);

    ImageList1 = QIcon(QPixmap::fromImage(picture("hammer.png")));
    PopupMenu2 = new QMenu(this);
    Optionen1 = PopupMenu2->addAction(QString());
    N1 = PopupMenu2->addSeparator();
    N1->setText(QStringLiteral("-"));
    Updatessuchen1 = PopupMenu2->addAction(QString());
    RzToolButton1 = new TRzToolButton(this);
    RzToolButton1->setGeometry(478, 6, 39, 25);
    RzToolButton1->SetToolStyle(tsDropDown);
    RzToolButton1->SetDropDownMenu(PopupMenu2);
    RzToolButton1->setIcon(ImageList1);
    RzToolButton1->hide();

    RzToolbarButton3
        = glyphButton(this, {531, 8, 23, 22}, "information.png", 2, QStringLiteral("Information"));
    connect(RzToolbarButton3, &TRzToolbarButton::clicked, this, &TScenForm1::RzToolbarButton3Click);
    RzToolbarButton2
        = glyphButton(this, {570, 8, 23, 22}, "minimize.png", 1, QStringLiteral("Minimize"));
    connect(RzToolbarButton2, &TRzToolbarButton::clicked, this, &TScenForm1::RzToolbarButton2Click);
    RzToolbarButton1 = glyphButton(this, {593, 8, 23, 22}, "close.png", 1, QStringLiteral("Close"));
    connect(RzToolbarButton1, &TRzToolbarButton::clicked, this, &TScenForm1::RzToolbarButton1Click);

    // Its hint follows the window, which shows none.
    btnApplyObj
        = glyphButton(this, {264, 350, 111, 37}, "checkmark.png", 2, QStringLiteral("Post"));
    btnApplyObj->SetShowHint(false);
    btnApplyObj->setFont(sansSerif11);
    QPalette applyColours = btnApplyObj->palette();
    applyColours.setColor(QPalette::ButtonText, Qt::white);
    btnApplyObj->setPalette(applyColours);
    connect(btnApplyObj, &TRzToolbarButton::clicked, this, &TScenForm1::btnApplyObjClick);

    RzMarqueeStatus1 = new TRzMarqueeStatus(this);
    RzMarqueeStatus1->setGeometry(8, 389, 617, 33);
    RzMarqueeStatus1->SetFillColor(QColor(135, 206, 235));
    RzMarqueeStatus1->SetParentFillColor(false);
    RzMarqueeStatus1->SetFrameStyle(fsStatus);
    RzMarqueeStatus1->SetScrollDelay(10);
    RzMarqueeStatus1->setFont(WindowFont(QStringLiteral("Square721 BT"), 21));
    RzMarqueeStatus1->SetFontColor(QColor(0, 0, 128));
    RzMarqueeStatus1->setCursor(Qt::PointingHandCursor);
    connect(RzMarqueeStatus1, &TRzMarqueeStatus::clicked, this, &TScenForm1::RzMarqueeStatus1Click);

    RzLabel3 = label(this, {8, 435, 614, 13}, sansSerif11, QColor(192, 192, 192));
    RzLabel3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // The page container has a window of its own and lies above the painted widgets.
    RzPageControl1 = new TRzPageControl(this);
    RzPageControl1->setGeometry(6, 42, 619, 305);
    TabSheet1 = RzPageControl1->AddSheet(QString());
    TabSheet1->SetColor(QColor(240, 251, 255));

    RzLabel2 = label(TabSheet1, {12, 6, 230, 13}, sansSerif11, Qt::black);
    RzLabel2->SetAutoSize(true);

    HTMLabel1 = new THTMLabel(TabSheet1);
    HTMLabel1->setGeometry(12, 257, 592, 17);
    HTMLabel1->SetTransparent(true);
    HTMLabel1->SetLineWidth(0);
    HTMLabel1->SetPlatform(&FPlatform);

    Image1 = new TImage(TabSheet1);
    Image1->move(392, 98);
    Image1->SetPicture(QPixmap::fromImage(picture("logo.png")));
    Image1->setCursor(Qt::PointingHandCursor);
    connect(Image1, &TImage::clicked, this, &TScenForm1::RzMarqueeStatus1Click);

    HTMLCredit1 = new THTMLCredit(TabSheet1);
    HTMLCredit1->setGeometry(382, 26, 222, 63);
    HTMLCredit1->SetHover(true);
    HTMLCredit1->SetLoop(true);
    // Neither a tab stop nor focused by a click, which would leave a focus frame on the link.
    HTMLCredit1->setFocusPolicy(Qt::NoFocus);
    HTMLCredit1->SetPlatform(&FPlatform);

    RzCheckTree1 = new TRzCheckTree(TabSheet1);
    RzCheckTree1->setObjectName(QStringLiteral("RzCheckTree1"));
    RzCheckTree1->setGeometry(3, 22, 365, 229);
    RzCheckTree1->SetIndent(19);
    SelectionMenu = new TSelectionMenu(*RzCheckTree1, FState, this);

    AdvTaskDialog1 = new TAdvTaskDialog(this);
    AdvTaskDialog1->SetCommonButtons({cbYes, cbNo});
    AdvTaskDialog1->SetIcon(tiQuestion);

    CloseDialog = new TAdvTaskDialog(this);
    CloseDialog->SetCommonButtons({cbYes, cbNo, cbCancel});
    CloseDialog->SetIcon(tiQuestion);
    CloseDialog->SetDialogPosition(dpOwnerFormCenter);

    // The keyboard's way to Apply, as in editors.
    auto *save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &TScenForm1::btnApplyObjClick);

    FNoticeTimer = new QTimer(this);
    FNoticeTimer->setSingleShot(true);
    FNoticeTimer->setInterval(4000);
    connect(FNoticeTimer, &QTimer::timeout, this, &TScenForm1::EndNotice);
}

QString TScenForm1::ProgramFolder() const
{
    return QFileInfo(FPlatform.ExeName()).absolutePath() + u'/';
}

QString TScenForm1::ControlFileFolder() const
{
    return QFileInfo(FState.Scenery).absolutePath();
}

void TScenForm1::FormCreate()
{
    if (RzVersionInfo1.VersionInfoAvailable())
        FState.Version = QStringLiteral("Version ") + RzVersionInfo1.GetField(2);
    FState.StringsGer = InterfaceTexts(0);
    FState.StringsEng = InterfaceTexts(1);
    FState.Languages = {QStringLiteral("german"), QStringLiteral("english")};
    FState.FileList = FindControlFiles(ProgramFolder(), [this] { FPlatform.ProcessMessages(); });

    if (FState.FileList.isEmpty()) {
        FPlatform.MessageDlg(NoControlFileMessage, mtError);
        FPlatform.Terminate();
        return;
    }
    if (FState.FileList.size() == 1) {
        FState.Scenery = FState.FileList.first();
        OpenScenery();
        return;
    }
    AdvTaskDialog1->SetContent(SeveralControlFilesMessage);
    if (FPlatform.ExecuteTaskDialog(*AdvTaskDialog1) != mrYes) {
        FPlatform.Terminate();
        return;
    }
    const QString chosen = FPlatform.OpenFileDialog(ProgramFolder(), ControlFileFilter);
    if (chosen.isEmpty()) {
        FPlatform.Terminate();
        return;
    }
    FState.Scenery = QFileInfo(chosen).absoluteFilePath();
    OpenScenery();
}

void TScenForm1::OpenScenery()
{
    TFolderLock lock(ControlFileFolder());
    if (!LockScenery(lock)) {
        FPlatform.Terminate();
        return;
    }
    ReadIni();
}

bool TScenForm1::LockScenery(TFolderLock &lock)
{
    if (lock.TryLock())
        return true;
    FPlatform.MessageDlg(SceneryBusyMessage(FState.Language), mtError);
    return false;
}

void TScenForm1::ReadIni()
{
    TSceneryLoader(FState, RzCheckTree1->Items()).ReadIni();
    RzCheckTree1->scrollToTop();
    RememberAppliedStates();
    SetLanguage();
    RzPageControl1->SetCaption(TabSheet1, QFileInfo(FState.Scenery).fileName());
    FControlFileStamp = ControlFileStamp();
}

QByteArray TScenForm1::ControlFileStamp() const
{
    // A link or anything but a regular file has no stamp: the save refuses it with its own error.
    if (QFileInfo(FState.Scenery).isSymLink())
        return {};
    const std::optional<QByteArray> bytes = ReadRegularFile(FState.Scenery, MaxControlFileSize);
    return bytes ? QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256) : QByteArray();
}

// "german" or "english": the name of the language section, the word stored in the control file
// and the language handed to the information window.
QString TScenForm1::LanguageWord() const
{
    return FState.Languages[std::size_t(FState.Language == 1 ? 1 : 0)];
}

QString TScenForm1::GetString(int nr) const
{
    const QStringList &texts = FState.Language == 1 ? FState.StringsEng : FState.StringsGer;
    return texts.value(nr);
}

void TScenForm1::SetLanguage()
{
    const QString section = LanguageWord();
    TIniFile ini(FState.Scenery);
    // Writing the language is the first write of a run: it shows whether the control file can
    // be written at all.
    try {
        ini.WriteString(ControlFile::Settings, ControlFile::Language, section);
        ini.UpdateFile();
    } catch (const EIniFileException &error) {
        WriteProbeFailed(error.Message());
    }
    const TLanguageTexts texts
        = ReadLanguageTexts(ini, section, FState.URL, FState.Version, GetString(3));
    FPlatform.SetApplicationTitle(texts.Title);
    RzLabel1->SetCaption(texts.Title);
    Image1->SetPicture(
        QPixmap::fromImage(picture(FState.Language == 1 ? "logo-english.png" : "logo.png")));
    EndNotice();
    FScrollerText = texts.ScrollerText;
    RzMarqueeStatus1->SetCaption(FScrollerText);
    HTMLCredit1->SetHTMLText({texts.HTMLCredits});
    RzLabel2->SetCaption(GetString(0));
    HTMLabel1->SetHTMLText({GetString(1)});
    btnApplyObj->SetCaption(GetString(2));
    RzLabel3->SetCaption(VersionLine(texts.Title, FState.Version, GetString(3)));
    Optionen1->setText(GetString(4));
    Updatessuchen1->setText(GetString(5));
    SelectionMenu->SetLanguage(FState.Language);
    RzToolButton1->setToolTip(GetString(4));
    SetAccessibleNames(texts);
}

// What assistive technology reads: every control named in the interface language, the status
// line and the credits by their text.
void TScenForm1::SetAccessibleNames(const TLanguageTexts &texts)
{
    const TAccessibleNames names = AccessibleNames(FState.Language);
    btnGerman->setAccessibleName(names.German);
    btnEnglish->setAccessibleName(names.English);
    RzToolbarButton3->setAccessibleName(names.Information);
    RzToolbarButton2->setAccessibleName(names.Minimise);
    RzToolbarButton1->setAccessibleName(names.Close);
    Image1->setAccessibleName(names.HomePage);
    Image1->setAccessibleDescription(FState.URL);
    RzCheckTree1->setAccessibleName(names.Objects);
    RzCheckTree1->setAccessibleDescription(GetString(0));
    RzMarqueeStatus1->setAccessibleName(texts.ScrollerText);
    HTMLCredit1->setAccessibleName(names.Credits);
    HTMLCredit1->setAccessibleDescription(HTMLStrip(texts.HTMLCredits));
}

// The control file cannot be written: restart with administrator rights, and end this instance
// whatever the outcome. An instance that has those rights already cannot do better: it shows the
// error and ends, rather than starting one instance after another.
void TScenForm1::WriteProbeFailed(const QString &error)
{
    if (FPlatform.IsElevated()) {
        FPlatform.ErrorBox(error, QString());
    } else {
        FPlatform.ErrorBox(GetString(8), QString());
        FPlatform.RunAsAdmin(FPlatform.ExeName(), QString());
    }
    FPlatform.Terminate();
}

void TScenForm1::btnGermanClick()
{
    SwitchLanguage(0);
}

void TScenForm1::btnEnglishClick()
{
    SwitchLanguage(1);
}

void TScenForm1::SwitchLanguage(int language)
{
    if (FPlatform.MessageDlg(GetString(7), mtConfirmation) != mrYes)
        return;
    TFolderLock lock(ControlFileFolder());
    if (!LockScenery(lock))
        return;
    RunHandler([&] {
        {
            TIniFile ini(FState.Scenery);
            ini.WriteString(ControlFile::Settings, ControlFile::Language,
                            FState.Languages[std::size_t(language)]);
            ini.UpdateFile();
        }
        ReadIni();
    });
}

void TScenForm1::btnApplyObjClick()
{
    ApplyChanges();
}

bool TScenForm1::ApplyChanges()
{
    TFolderLock lock(ControlFileFolder());
    if (!LockScenery(lock))
        return false;
    // Another window or sceneryctl applied since this window read the file: applying this tree
    // would silently undo that. Show the file as it is now instead, and change nothing.
    if (const QByteArray now = ControlFileStamp(); !now.isEmpty() && now != FControlFileStamp) {
        FPlatform.MessageDlg(ControlFileChangedMessage(FState.Language), mtError);
        RunHandler([this] { ReadIni(); });
        return false;
    }
    const auto restamp = qScopeGuard([this] { FControlFileStamp = ControlFileStamp(); });
    bool applied = false;
    RunHandler([&] {
        TSceneryApplier applier(FState, RzCheckTree1->Items());
        const QList<TRenameFailure> failures = applier.Apply();
        RememberAppliedStates();
        if (!failures.isEmpty()) {
            FPlatform.MessageDlg(RenameFailureMessage(FState.Language, failures), mtError);
            return;
        }
        const QList<TFileOutcome> &files = applier.Report().Files;
        const auto renamed = std::count_if(
            files.begin(), files.end(), [](const auto &file) { return file.Action == raRenamed; });
        ShowNotice(AppliedNotice(FState.Language, renamed));
        applied = true;
    });
    return applied;
}

void TScenForm1::ShowNotice(const QString &text)
{
    RzMarqueeStatus1->SetScrollType(stNone);
    RzMarqueeStatus1->SetCaption(text);
    FNoticeTimer->start();
}

void TScenForm1::EndNotice()
{
    FNoticeTimer->stop();
    RzMarqueeStatus1->SetScrollType(stRightToLeft);
    RzMarqueeStatus1->SetCaption(FScrollerText);
}

void TScenForm1::RememberAppliedStates()
{
    FAppliedStates.clear();
    const TCheckTreeModel &items = RzCheckTree1->Items();
    for (int i = 0; i < items.Count(); ++i)
        FAppliedStates.append(items.GetItemState(i) == csChecked ? csChecked : csUnchecked);
}

bool TScenForm1::HasPendingChanges() const
{
    const TCheckTreeModel &items = RzCheckTree1->Items();
    if (items.Count() != FAppliedStates.size())
        return true;
    for (int i = 0; i < items.Count(); ++i) {
        const int state = items.GetItemState(i) == csChecked ? csChecked : csUnchecked;
        if (state != FAppliedStates.at(i))
            return true;
    }
    return false;
}

void TScenForm1::RzToolbarButton1Click()
{
    close();
}

void TScenForm1::RzToolbarButton2Click()
{
    showMinimized();
}

void TScenForm1::RzToolbarButton3Click()
{
    if (!FInfoForm)
        return;
    FInfoForm->Language = LanguageWord();
    FInfoForm->exec();
}

void TScenForm1::RzMarqueeStatus1Click()
{
    if (FState.URL.size() > MaxAddressLength)
        return;
    FPlatform.ShellOpen(FState.URL);
}

void TScenForm1::showEvent(QShowEvent *event)
{
    if (!FCentred) {
        FCentred = true;
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

// Closing with changes not yet applied asks first: apply and close, close without applying, or
// stay. A failed Apply keeps the window open, so that its message can be acted on.
void TScenForm1::closeEvent(QCloseEvent *event)
{
    if (HasPendingChanges() && !FPlatform.Terminated()) {
        CloseDialog->SetContent(CloseQuestion(FState.Language));
        const int answer = FPlatform.ExecuteTaskDialog(*CloseDialog);
        if (answer != mrNo && (answer != mrYes || !ApplyChanges())) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

template<class Handler>
void TScenForm1::RunHandler(Handler handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        FPlatform.ShowException(QString::fromUtf8(error.what()));
    }
}

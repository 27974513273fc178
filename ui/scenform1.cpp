#include "ui/scenform1.h"

#include "config/controlfiles.h"
#include "config/inifile.h"
#include "config/languagetexts.h"
#include "config/sceneryapplier.h"
#include "config/sceneryloader.h"
#include "htmltext/htmlabel.h"
#include "htmltext/htmlcredit.h"
#include "htmltext/htmlmarkup.h"
#include "platform/folderlock.h"
#include "platform/openableaddress.h"
#include "platform/platform.h"
#include "platform/regularfile.h"
#include "ui/infoform.h"
#include "ui/selectionmenu.h"
#include "ui/windowfonts.h"
#include "widgets/image.h"
#include "widgets/pictureiconengine.h"
#include "widgets/rzchecktree.h"
#include "widgets/rzformshape.h"
#include "widgets/rzlabel.h"
#include "widgets/rzmarqueestatus.h"
#include "widgets/rzpagecontrol.h"
#include "widgets/rztoolbarbutton.h"
#include "widgets/rztoolbutton.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
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

// A picture of the window, with its drawing at twice the size for screens of higher density.
// Each is decoded once: buttons, the logo of each language and later windows share it.
TScalablePicture picture(const char *name)
{
    static QHash<QString, TScalablePicture> decoded;
    const QString path = QStringLiteral(":/pictures/") + QString::fromLatin1(name);
    auto found = decoded.constFind(path);
    if (found == decoded.cend())
        found = decoded.insert(path, TScalablePicture::FromFile(path));
    return *found;
}

TRzToolbarButton *glyphButton(QWidget *parent, const QRect &geometry, const char *glyph,
                              int numGlyphs, const QString &hint)
{
    auto *button = new TRzToolbarButton(parent);
    button->setGeometry(geometry);
    // The count first, so that the strip is cut once.
    button->SetNumGlyphs(numGlyphs);
    button->SetGlyph(picture(glyph));
    button->SetHint(hint);
    button->SetShowHint(true);
    // Reached with Tab, not focused by a click, which would leave the focus mark behind.
    button->setFocusPolicy(Qt::TabFocus);
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

// Scroll bars in the colours of the page: a pale track and a handle in the panel's blue, without
// arrow buttons, so that the handle is the one thing that stands out.
QString scrollBarLook(const QColor &page, const QColor &handle)
{
    return QStringLiteral(
               "QScrollBar { background: %1; border: none; margin: 0; }"
               " QScrollBar:vertical { width: 14px; } QScrollBar:horizontal { height: 14px; }"
               " QScrollBar::handle { background: %2; border-radius: 4px; margin: 2px; }"
               " QScrollBar::handle:vertical { min-height: 24px; }"
               " QScrollBar::handle:horizontal { min-width: 24px; }"
               " QScrollBar::handle:hover, QScrollBar::handle:pressed { background: %3; }"
               " QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none;"
               " background: none; }"
               " QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
        .arg(page.darker(108).name(), handle.name(), handle.darker(130).name());
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
    RzFormShape1->SetPicture(picture("background.ppm"));

    btnGerman = glyphButton(this, {18, 8, 23, 22}, "flag-german.ppm", 2,
                            QStringLiteral("Deutsche Version"));
    connect(btnGerman, &TRzToolbarButton::clicked, this, &TScenForm1::btnGermanClick);
    btnEnglish = glyphButton(this, {47, 8, 23, 22}, "flag-union.ppm", 2,
                             QStringLiteral("English version"));
    connect(btnEnglish, &TRzToolbarButton::clicked, this, &TScenForm1::btnEnglishClick);

    RzLabel1 = label(this, {86, 10, 249, 21}, WindowFont(QStringLiteral("MS Sans Serif"), 13, true),
                     Qt::white);

    ImageList1 = QIcon(new TPictureIconEngine(picture("hammer.ppm")));
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
        = glyphButton(this, {531, 8, 23, 22}, "information.ppm", 2, QStringLiteral("Information"));
    connect(RzToolbarButton3, &TRzToolbarButton::clicked, this, &TScenForm1::RzToolbarButton3Click);
    RzToolbarButton2
        = glyphButton(this, {570, 8, 23, 22}, "minimize.ppm", 1, QStringLiteral("Minimize"));
    connect(RzToolbarButton2, &TRzToolbarButton::clicked, this, &TScenForm1::RzToolbarButton2Click);
    RzToolbarButton1 = glyphButton(this, {593, 8, 23, 22}, "close.ppm", 1, QStringLiteral("Close"));
    connect(RzToolbarButton1, &TRzToolbarButton::clicked, this, &TScenForm1::RzToolbarButton1Click);

    // Its hint follows the window, which shows none.
    btnApplyObj
        = glyphButton(this, {264, 350, 111, 37}, "checkmark.ppm", 2, QStringLiteral("Post"));
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
    Image1->SetPicture(picture("logo.pam"));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setFocusPolicy(Qt::TabFocus);
    connect(Image1, &TImage::clicked, this, &TScenForm1::RzMarqueeStatus1Click);

    HTMLCredit1 = new THTMLCredit(TabSheet1);
    HTMLCredit1->setGeometry(382, 26, 222, 63);
    HTMLCredit1->SetHover(true);
    HTMLCredit1->SetLoop(true);
    // Neither a tab stop nor focused by a click, which would leave a focus frame on the link.
    HTMLCredit1->setFocusPolicy(Qt::NoFocus);
    HTMLCredit1->SetPlatform(&FPlatform);

    RzCheckTree1 = new TRzCheckTree(TabSheet1);
    RzCheckTree1->setGeometry(3, 22, 365, 229);
    RzCheckTree1->SetIndent(19);
    RzCheckTree1->setStyleSheet(scrollBarLook(TabSheet1->Color(), QColor(126, 163, 238)));
    SelectionMenu = new TSelectionMenu(*RzCheckTree1, FState, this);

    AdvTaskDialog1.CommonButtons = {cbYes, cbNo};
    AdvTaskDialog1.Icon = tiQuestion;
    AdvTaskDialog1.Owner = this;

    CloseDialog.CommonButtons = {cbYes, cbNo, cbCancel};
    CloseDialog.Icon = tiQuestion;
    CloseDialog.DialogPosition = dpOwnerFormCenter;
    CloseDialog.Owner = this;

    // The keyboard's way to Apply, as in editors.
    auto *save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &TScenForm1::btnApplyObjClick);

    FNoticeTimer = new QTimer(this);
    FNoticeTimer->setSingleShot(true);
    FNoticeTimer->setInterval(4000);
    connect(FNoticeTimer, &QTimer::timeout, this, &TScenForm1::EndNotice);

    // Tab goes from the objects to Apply, the home page, then along the title band; the page's
    // single tab offers no choice and is no stop.
    RzPageControl1->tabBar()->setFocusPolicy(Qt::NoFocus);
    RzPageControl1->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget *> tabOrder{RzCheckTree1,     btnApplyObj,     Image1,
                                    btnGerman,        btnEnglish,      RzToolbarButton3,
                                    RzToolbarButton2, RzToolbarButton1};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    RzCheckTree1->setFocus();

    // The children are known by their names to style sheets, assistive tools and tests.
    const std::pair<QObject *, const char *> names[] = {
        {RzFormShape1, "RzFormShape1"},
        {btnGerman, "btnGerman"},
        {btnEnglish, "btnEnglish"},
        {RzLabel1, "RzLabel1"},
        {RzToolButton1, "RzToolButton1"},
        {RzToolbarButton3, "RzToolbarButton3"},
        {RzToolbarButton2, "RzToolbarButton2"},
        {RzToolbarButton1, "RzToolbarButton1"},
        {btnApplyObj, "btnApplyObj"},
        {RzMarqueeStatus1, "RzMarqueeStatus1"},
        {RzLabel3, "RzLabel3"},
        {RzPageControl1, "RzPageControl1"},
        {TabSheet1, "TabSheet1"},
        {RzLabel2, "RzLabel2"},
        {HTMLabel1, "HTMLabel1"},
        {Image1, "Image1"},
        {HTMLCredit1, "HTMLCredit1"},
        {RzCheckTree1, "RzCheckTree1"},
    };
    for (const auto &[child, name] : names)
        child->setObjectName(QString::fromLatin1(name));
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
    FState.StringsGer = InterfaceTexts(lgGerman);
    FState.StringsEng = InterfaceTexts(lgEnglish);
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
    AdvTaskDialog1.Content = SeveralControlFilesMessage;
    if (FPlatform.ExecuteTaskDialog(AdvTaskDialog1) != mrYes) {
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
    TIniFile ini(FState.Scenery);
    ReadIni(ini);
    FControlFileStamp = ControlFileStamp(ini.ContentStamp());
}

// Loading and the language step share one accessor, so the file is read and parsed once.
void TScenForm1::ReadIni(TIniFile &ini)
{
    TSceneryLoader(FState, RzCheckTree1->Items()).ReadIni(ini);
    RzCheckTree1->scrollToTop();
    RememberAppliedStates();
    SetLanguage(ini);
    RzPageControl1->SetCaption(TabSheet1, QFileInfo(FState.Scenery).fileName());
}

QByteArray TScenForm1::ControlFileStamp() const
{
    if (QFileInfo(FState.Scenery).isSymLink())
        return {};
    const std::optional<QByteArray> bytes = ReadRegularFile(FState.Scenery, MaxControlFileSize);
    return bytes ? TIniFile::StampOf(*bytes) : QByteArray();
}

QByteArray TScenForm1::ControlFileStamp(const QByteArray &accessorStamp) const
{
    // A link or anything but a regular file has no stamp: the save refuses it with its own error.
    return QFileInfo(FState.Scenery).isSymLink() ? QByteArray() : accessorStamp;
}

QString TScenForm1::GetString(int nr) const
{
    const QStringList &texts = FState.Language == lgEnglish ? FState.StringsEng : FState.StringsGer;
    return texts.value(nr);
}

void TScenForm1::SetLanguage(TIniFile &ini)
{
    const QString section = LanguageWord(FState);
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
    Image1->SetPicture(picture(FState.Language == lgEnglish ? "logo-english.pam" : "logo.pam"));
    EndNotice();
    FScrollerText = texts.ScrollerText;
    RzMarqueeStatus1->SetCaption(FScrollerText);
    // Pictures of the credits lie in the package, whatever folder the program was started in.
    HTMLCredit1->ImageCache().SetBaseFolder(ControlFileFolder());
    HTMLCredit1->SetHTMLText({texts.HTMLCredits});
    RzLabel2->SetCaption(GetString(0));
    HTMLabel1->SetHTMLText({GetString(1)});
    // The caption's first letter is its accelerator (Alt+Ü, Alt+A).
    btnApplyObj->SetCaption(u'&' + QString(GetString(2)).replace(u'&', QStringLiteral("&&")));
    RzLabel3->SetCaption(VersionLine(texts.Title, FState.Version, GetString(3)));
    Optionen1->setText(GetString(4));
    Updatessuchen1->setText(GetString(5));
    SelectionMenu->SetLanguage(FState.Language);
    RzToolButton1->setToolTip(GetString(4));
    SetAccessibleNames(texts);
}

// What assistive technology reads: every control named in the interface language, the notice
// and the credits by their text. The status line is named by what it shows, notices included.
void TScenForm1::SetAccessibleNames(const TLanguageTexts &texts)
{
    const TAccessibleNames names = AccessibleNames(FState.Language, FState.URL);
    const auto describe = [](QWidget *control, const TAccessibleText &text) {
        if (!text.Name.isEmpty())
            control->setAccessibleName(text.Name);
        control->setAccessibleDescription(text.Description);
    };
    describe(btnGerman, names.German);
    describe(btnEnglish, names.English);
    describe(RzToolbarButton3, names.Information);
    describe(RzToolbarButton2, names.Minimise);
    describe(RzToolbarButton1, names.Close);
    describe(btnApplyObj, names.Apply);
    describe(Image1, names.HomePage);
    RzCheckTree1->setAccessibleName(names.Objects);
    RzCheckTree1->SetMixedStateDescription(names.MixedState);
    RzCheckTree1->setAccessibleDescription(GetString(0));
    // The window keeps its fixed caption; a screen reader names it by the program's title.
    setAccessibleName(texts.Title);
    HTMLabel1->setAccessibleName(HTMLSpokenText(GetString(1)));
    HTMLCredit1->setAccessibleName(names.Credits);
    HTMLCredit1->setAccessibleDescription(HTMLSpokenText(texts.HTMLCredits));
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
    SwitchLanguage(lgGerman);
}

void TScenForm1::btnEnglishClick()
{
    SwitchLanguage(lgEnglish);
}

void TScenForm1::SwitchLanguage(int language)
{
    if (FPlatform.MessageDlg(GetString(7), mtConfirmation) != mrYes)
        return;
    TFolderLock lock(ControlFileFolder());
    if (!LockScenery(lock))
        return;
    RunHandler([&] {
        TIniFile ini(FState.Scenery);
        ini.WriteString(ControlFile::Settings, ControlFile::Language,
                        FState.Languages[std::size_t(language)]);
        ini.UpdateFile();
        ReadIni(ini);
        FControlFileStamp = ControlFileStamp(ini.ContentStamp());
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
    bool applied = false;
    RunHandler([&] {
        TSceneryApplier applier(FState, RzCheckTree1->Items());
        // Whether Apply saves, fails or stops part way, it stamps the file as it left it.
        const auto restamp = qScopeGuard(
            [&] { FControlFileStamp = ControlFileStamp(applier.Report().ControlFileStamp); });
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
    // Made on first use, owned by this window, so that it opens centred over it.
    if (!FInfoForm)
        FInfoForm = new TInfoForm(FPlatform, this);
    FInfoForm->Language = LanguageWord(FState);
    FInfoForm->exec();
}

void TScenForm1::RzMarqueeStatus1Click()
{
    if (FState.URL.size() > MaxOpenedAddressLength)
        return;
    FPlatform.ShellOpen(FState.URL);
}

void TScenForm1::showEvent(QShowEvent *event)
{
    if (!FCentred) {
        FCentred = true;
        if (const QScreen *screen = this->screen()) {
            // Centred; on a screen too small for it, its title band with the close button
            // stays on the screen: the window has no frame of the system's to move it by.
            const QRect area = screen->availableGeometry();
            const QPoint centred = area.center() - rect().center();
            move(qMax(centred.x(), area.left()), qMax(centred.y(), area.top()));
        }
    }
    QWidget::showEvent(event);
}

// Closing with changes not yet applied asks first: apply and close, close without applying, or
// stay. A failed Apply keeps the window open, so that its message can be acted on.
void TScenForm1::closeEvent(QCloseEvent *event)
{
    if (HasPendingChanges() && !FPlatform.Terminated()) {
        CloseDialog.Content = CloseQuestion(FState.Language);
        const int answer = FPlatform.ExecuteTaskDialog(CloseDialog);
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

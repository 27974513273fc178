#include "ui/scenform1.h"

#include "config/languagetexts.h"
#include "config/sceneryapplier.h"
#include "config/sceneryloader.h"
#include "platform/platform.h"
#include "ui/advtaskdialog.h"
#include "widgets/rzchecktree.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QVBoxLayout>

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

} // namespace

TScenForm1::TScenForm1(TPlatform &platform, const TRzVersionInfo &versionInfo, QWidget *parent)
    : QWidget(parent)
    , RzVersionInfo1(versionInfo)
    , FPlatform(platform)
{
    setWindowTitle(QStringLiteral("ScenForm1"));
    auto *layout = new QVBoxLayout(this);
    RzCheckTree1 = new TRzCheckTree(this);
    RzCheckTree1->setObjectName(QStringLiteral("RzCheckTree1"));
    RzCheckTree1->SetIndent(19);
    layout->addWidget(RzCheckTree1);
    btnApplyObj = new QPushButton(this);
    btnApplyObj->setObjectName(QStringLiteral("btnApplyObj"));
    layout->addWidget(btnApplyObj);
    connect(btnApplyObj, &QPushButton::clicked, this, &TScenForm1::btnApplyObjClick);
    AdvTaskDialog1 = new TAdvTaskDialog(this);
    AdvTaskDialog1->SetCommonButtons({cbYes, cbNo});
    AdvTaskDialog1->SetIcon(tiQuestion);
    Ftw1.OnProcessFile = [this](const QString &path, const TSearchRec &info) {
        return Ftw1ProcessFile(path, info);
    };
    resize(633, 455);
    RunHandler([this] { FormCreate(); });
}

TScenForm1::~TScenForm1() = default;

QString TScenForm1::ProgramFolder() const
{
    return QFileInfo(FPlatform.ExeName()).absolutePath() + u'/';
}

void TScenForm1::FormCreate()
{
    if (RzVersionInfo1.VersionInfoAvailable())
        FState.Version = QStringLiteral("Version ") + RzVersionInfo1.GetField(2);
    FState.StringsGer = InterfaceTexts(0);
    FState.StringsEng = InterfaceTexts(1);
    FState.Languages = {QStringLiteral("german"), QStringLiteral("english")};
    FState.FileList.clear();

    Ftw1.Filter = QStringLiteral("*.ini");
    Ftw1.StartPath = ProgramFolder();
    Ftw1.Execute();

    if (FState.FileList.isEmpty()) {
        FPlatform.MessageDlg(NoControlFileMessage, mtError);
        FPlatform.Terminate();
        return;
    }
    if (FState.FileList.size() == 1) {
        FState.Scenery = FState.FileList.first();
        ReadIni();
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
    ReadIni();
}

Action TScenForm1::Ftw1ProcessFile(const QString &path, const TSearchRec &info)
{
    if (!(info.Attr & faDirectory))
        FState.FileList.append(path + u'/' + info.Name);
    FPlatform.ProcessMessages();
    return FindMore;
}

void TScenForm1::ReadIni()
{
    TSceneryLoader(FState, RzCheckTree1->Items()).ReadIni();
    FTabCaption = QFileInfo(FState.Scenery).fileName();
    btnApplyObj->setText(InterfaceTexts(FState.Language).at(2));
    setWindowTitle(FTabCaption);
}

void TScenForm1::btnApplyObjClick()
{
    RunHandler([this] {
        const QList<TRenameFailure> failures
            = TSceneryApplier(FState, RzCheckTree1->Items(), QDir::currentPath()).Apply();
        if (failures.isEmpty())
            return;
        QStringList lines;
        for (const TRenameFailure &failure : failures)
            lines << QDir::toNativeSeparators(failure.FileName) + QStringLiteral(": ")
                    + failure.Reason;
        FPlatform.MessageDlg(RenameFailureMessage(FState.Language, lines), mtError);
    });
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

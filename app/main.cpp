// Start of the scenery configurator: finds the control file beside the program and shows its
// object tree.
#include "config/sceneryloader.h"
#include "widgets/rzchecktree.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QStringList candidates = programFolder.entryList(
        {QStringLiteral("*.ini")}, QDir::Files | QDir::Hidden | QDir::System,
        QDir::Name | QDir::IgnoreCase);
    if (candidates.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Fehler"),
                              QStringLiteral("Es wurde keine Steuerdatei (XXXX.ini) gefunden!\r\n"
                                             "Control file XXXX.ini not found!"));
        return 1;
    }

    TSceneryState state;
    state.Scenery = programFolder.absoluteFilePath(candidates.first());

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *tree = new TRzCheckTree(&window);
    tree->setIndentation(19);
    layout->addWidget(tree);
    TSceneryLoader(state, tree->Items()).ReadIni();
    tree->expandAll();
    window.setWindowTitle(QFileInfo(state.Scenery).fileName());
    window.resize(400, 420);
    window.show();
    return app.exec();
}

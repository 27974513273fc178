#pragma once

#include "config/scenerystate.h"
#include "platform/rzversioninfo.h"
#include "walk/ftw.h"

#include <QWidget>

class QPushButton;
class TAdvTaskDialog;
class TPlatform;
class TRzCheckTree;

// The main window: finds the control file at its creation, loads the object tree from it and
// applies the user's selection to the control file and the scenery files.
class TScenForm1 : public QWidget
{
    Q_OBJECT

public:
    // Builds the children, then runs FormCreate. When it ends the program (no control file, or
    // the user declines to pick one), platform.Terminated() is true and the window must not be
    // shown.
    explicit TScenForm1(TPlatform &platform, const TRzVersionInfo &versionInfo = TRzVersionInfo(),
                        QWidget *parent = nullptr);
    ~TScenForm1() override;

    TRzCheckTree *RzCheckTree1 = nullptr;
    QPushButton *btnApplyObj = nullptr;
    TAdvTaskDialog *AdvTaskDialog1 = nullptr;
    TFtw Ftw1;
    TRzVersionInfo RzVersionInfo1;

    const TSceneryState &State() const { return FState; }
    QString TabCaption() const { return FTabCaption; }

    void FormCreate();
    void ReadIni();
    void btnApplyObjClick();
    Action Ftw1ProcessFile(const QString &path, const TSearchRec &info);

private:
    QString ProgramFolder() const;
    // Runs an event handler; an error that ends it is shown in the standard error box.
    template<class Handler>
    void RunHandler(Handler handler);

    TPlatform &FPlatform;
    TSceneryState FState;
    QString FTabCaption;
};

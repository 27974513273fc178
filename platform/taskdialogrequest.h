#pragma once

#include "platform/enumset.h"

#include <QString>

class QObject;

enum TCommonButton { cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose };
enum TTaskDialogIcon {
    tiBlank,
    tiWarning,
    tiQuestion,
    tiError,
    tiInformation,
    tiNotUsed,
    tiShield
};
enum TTaskDialogPosition { dpScreenCenter, dpOwnerFormCenter };

using TCommonButtons = EnumSet<TCommonButton>;

// What a question dialog shows and offers, without any window: the window layer builds the
// dialog from it, tests read it.
struct TTaskDialogRequest
{
    QString Title;
    QString Instruction;
    QString Content;
    QString Footer;
    TCommonButtons CommonButtons;
    // 0: OK, Yes or Retry; 1: OK or Yes; 2: Cancel or No; 6, 7, 8: Yes, No, Close; -1: none.
    int DefaultButton = 0;
    TTaskDialogIcon Icon = tiBlank;
    TTaskDialogPosition DialogPosition = dpScreenCenter;
    // The window the dialog belongs to, if any: it stays in front of it and can be centred on it.
    QObject *Owner = nullptr;
};

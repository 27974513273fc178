#pragma once

#include <QtGlobal>

// The interface languages by their index. The values are the ones the window and the command line
// have always used for the language (and that the texts are ordered by): they must not change.
enum TLanguage : qint32 {
    lgGerman = 0,
    lgEnglish = 1,
};

// German for English and English for any other index.
constexpr TLanguage OtherLanguage(qint32 language)
{
    return language == lgEnglish ? lgGerman : lgEnglish;
}

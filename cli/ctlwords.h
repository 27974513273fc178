#pragma once

#include "config/sceneryfiles.h"
#include "config/scenobj.h"

#include <QString>

// The words sceneryctl prints, and its JSON holds, for the kinds of entries and the forms of
// scenery files. Scripts read them: they stay as they are.

// "object", "group" or "switch", for an entry of the type "Scenery", "Group" or "Switch".
QString KindWord(TFileType fileType);

// "active", "inactive", "both", "missing", "outside", "ambiguous" or "bad name".
QString FormWord(TFileForm form);

// Why Apply leaves a file of this form as it is, whatever state it should take: "both forms
// present", "neither form present" or "outside the Scenery folder"; empty for the other forms.
QString LeftAsItIs(TFileForm form);

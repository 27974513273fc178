#pragma once

#include "htmltext/htmlcanvas.h"
#include "htmltext/htmlmarkup.h"
#include "htmltext/tcolor.h"

#include <QString>

class TImageList;
class TPictureCache;
class TPictureContainer;

enum TBiDiMode { bdLeftToRight, bdRightToLeft };

// Inputs of HTMLDrawEx. The canvas font is the base font of the call, its brush colour the
// background colour.
struct THTMLDrawParams
{
    QString s; // the markup
    TRect fr; // layout rectangle: lines start at its top and use its width
    const TImageList *FImages = nullptr; // source of "IDX:n" images
    int XPos = -1; // point to hit-test, canvas coordinates
    int YPos = -1;
    int FocusLink = -1; // 0-based link with the keyboard focus, -1 for none
    int HoverLink = -1; // 1-based link under the mouse, -1 for none
    int ShadowOffset = 1;
    bool CheckHotSpot = false; // measure and hit-test, draw nothing
    bool CheckHeight = false; // first pass only, all lines, no hit result
    bool Print = false; // stretch image-list images by ResFactor
    bool Selected = false; // on a selection background: markup colours are not applied
    bool Blink = true; // blink phase; when false <BLINK> text takes the background colour
    bool HoverStyle = false; // links underlined and hover-coloured only while hovered
    bool WordWrap = true; // break at spaces; when false only at tags, runs end in an ellipsis
    double ResFactor = 1.0;
    TColor URLColor = clBlue;
    TColor HoverColor = clNone; // background of a hovered link
    TColor HoverFontColor = clNone; // text colour of a hovered link
    TColor ShadowColor = clGray;
    TPictureCache *ic = nullptr; // pictures loaded by address; outlives calls
    const TPictureContainer *pc = nullptr; // named pictures
    int LineSpacing = 0; // pixels added to each line's height
    TBiDiMode BidiMode = bdLeftToRight; // only left-to-right is laid out
};

// Outputs of HTMLDrawEx.
struct THTMLDrawResult
{
    bool Hit = false; // the point lies on a link word or a linked image
    QString AnchorVal; // link target under the point, valid when Hit
    QString StripVal; // text of the words laid out, without tags; "\r" for each <BR>
    QString FocusAnchor; // target of the focused link (drawing only)
    int XSize = 0;
    int YSize = 0;
    int HyperLinks = 0; // links met
    int MouseLink = -1; // 1-based link under the point
    TRect HoverRect{-1, -1, -1, -1}; // the link under the point; left as it was when none
};

// Lays the markup out into p.fr and draws it (both flags false), or only measures and hit-tests
// it (CheckHotSpot), or only measures its full height (CheckHeight). Returns result.Hit.
bool HTMLDrawEx(THTMLCanvas &Canvas, const THTMLDrawParams &p, THTMLDrawResult &result);

// The three uses in one call each.
THTMLDrawResult HTMLDraw(THTMLCanvas &Canvas, THTMLDrawParams p);
THTMLDrawResult HTMLHitTest(THTMLCanvas &Canvas, THTMLDrawParams p, int x, int y);
THTMLDrawResult HTMLMeasureHeight(THTMLCanvas &Canvas, THTMLDrawParams p);

// Fills r with Steps bands running from FromColor to ToColor, left to right (Direction true)
// or top to bottom, and outlines r in BorderColor unless that is clNone.
void DrawHTMLGradient(THTMLCanvas &Canvas, TColor FromColor, TColor ToColor, bool Direction,
                      const TRect &R, int Steps, TColor BorderColor);

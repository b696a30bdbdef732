#pragma once

#include "core/StringList.h"

#include <vector>

namespace lumavine {

// Actions are the texts that shapes, menu entries, slides and start-up
// entries run in the generated page: "javascript:" + function + "(" +
// arguments joined by "," + ")". Text arguments are in apostrophes, absent
// ones are the bare word null, numbers and booleans are bare.
//
// Argument positions below count from 1, as the functions' signatures are
// usually read; StringList::get counts from 0.

// Splits an action into its function name and arguments. With `keepQuotes`
// every argument keeps its quotes (for rebuilding the action); without, the
// quotes are removed (for reading values). Empty arguments keep their place.
// False, with both outputs empty, for a text that is not an action: no "(",
// no "javascript:" prefix, no closing ")" or an empty function name.
bool parseAction(std::u16string_view action, String& function, StringList& arguments, bool keepQuotes);

// "javascript:" + function + "(" + arguments joined by "," + ")".
String buildAction(std::u16string_view function, const StringList& arguments);

// The function an action calls, or the empty text when it is no action.
String actionFunction(std::u16string_view action);

// Whether the action calls `function` (compared ignoring case).
bool actionCalls(std::u16string_view action, std::u16string_view function);

// Gives a frame a new name in an action that shows something in it
// (show_picture, play_video, play_audio, show_page, clear_frame): a first
// argument equal to `oldFrame` becomes `newFrame` in apostrophes. True when
// the action targets either name; an action already on the new name is left
// as it is.
bool retargetAction(String& action, const String& newFrame, const String& oldFrame);

// Writes a display ratio (integer percent) and, for show_picture, the
// aspect flag into the action: show_picture arguments 7 and 8, show_page
// argument 4. False when nothing changed or the function has no ratio.
bool setActionScale(String& action, int ratio, bool aspect);

// The argument positions (from 1) of an action's function that name files:
// show_picture 2 and 6, show_page 2 and 3, play_video and play_audio 2.
// Empty for any other function.
std::vector<int> fileArgumentPositions(std::u16string_view function);

// The text between a pair of enclosing apostrophes or double quotes, or the
// text itself.
String unquoteArgument(std::u16string_view argument);

// The argument in apostrophes, as actions hold texts.
String quoteArgument(std::u16string_view argument);
// A text made fit to stand inside a script string in either quotes: the
// backslash, both quotes, line ends and "<" (which could close the script
// element) are escaped.
String escapeScriptString(std::u16string_view text);

}

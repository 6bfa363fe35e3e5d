// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QObject;

// Help topics: every window has a topic number, and the help window shows
// the page of that number. Any window of any part of the program asks for
// a topic here; the program installs the viewer (the help window) at
// start-up, tests install one that records the topics asked for.
//
// A window gets F1 by carrying its topic in the dynamic property
// "helpTopic" (setProperty(kHelpTopicProperty, 2600)): F1 pressed anywhere
// in it shows that topic (installHelpKey, platform/help_key.h).
namespace verbana {

inline constexpr char kHelpTopicProperty[] = "helpTopic";

using HelpViewer = std::function<void(int topic)>;

// Shows the page of a topic in the viewer in force; without one it does
// nothing (a missing help gives no message of the program's own).
void showHelpTopic(int topic);
// Installs a viewer and returns the one it replaces.
HelpViewer setHelpViewer(HelpViewer viewer);

// The topic of `object` or of the nearest of its parents that carries one;
// 0 when none does.
int helpTopicOf(const QObject *object);

} // namespace verbana

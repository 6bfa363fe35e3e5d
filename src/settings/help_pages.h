// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

// The bundled help: HTML pages in Korean, one per topic number, in the
// folder `help` beside the program (the build folder, or
// <prefix>/share/verbana/help when installed).
namespace verbana::settings {

// Every topic number a window or the start helper asks for.
inline constexpr std::array<int, 13> kHelpTopics = {10, 200, 1000, 2100, 2110, 2200, 2320,
                                                    2400, 2450, 2500, 2600, 4000, 5000};

// The page about Verbana and the people who made it: the program's home
// page (it has no address on the web).
inline constexpr char kAboutPage[] = "verbana.html";
// The table of contents.
inline constexpr char kContentsPage[] = "index.html";

// The file name of a topic's page ("2600.html").
QString topicPage(int topic);

// The help folder: beside the program, else the installed one; empty when
// neither exists.
QString helpFolder();
// Sets the help folder (tests); an empty one restores the search.
void setHelpFolder(const QString &folder);

} // namespace verbana::settings

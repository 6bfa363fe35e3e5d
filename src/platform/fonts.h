// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace verbana {

// Lets the Windows font names the settings keep (굴림체 and its kin) show
// in a Nanum font.
void installFontSubstitutions();

} // namespace verbana

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <utility>

// How every command (a menu item, a key, a button) is run: an error meant
// for the user that it raises is shown in the general error box and goes no
// further, so no exception ever unwinds through Qt's signal delivery.
namespace verbana {

// Runs `command`; false when it raised an error (already shown).
bool runCommand(const std::function<void()> &command) noexcept;

// A slot for connect() that runs `command` through runCommand, whatever the
// signal's arguments.
template <typename F> auto asCommand(F command)
{
    return [command = std::move(command)](auto &&...) { runCommand(command); };
}

} // namespace verbana

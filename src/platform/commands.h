// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <utility>

// How every command (a menu item, a key, a button) is run: an error meant
// for the user that it raises is shown in the general error box and goes no
// further, so no exception ever unwinds through Qt's signal delivery.
//
// Code that must not throw (a destructor, a scope that thaws the table, a
// slot reacting to it) hands its error over instead: the command being run
// shows it when it ends, unless it ends with an error of its own, so that
// one failure gives one message.
namespace verbana {

// Runs `command`; false when it raised an error (shown, or handed over
// while a DeferErrors lives).
bool runCommand(const std::function<void()> &command) noexcept;

// A slot for connect() that runs `command` through runCommand, whatever the
// signal's arguments.
template <typename F> auto asCommand(F command)
{
    return [command = std::move(command)](auto &&...) { runCommand(command); };
}

// Hands an error's text to the command being run. Outside any command it is
// shown as soon as the event loop runs.
void handOverError(const QString &text) noexcept;
// Runs `work`, handing over what it raises; false when it raised.
bool handingOver(const std::function<void()> &work) noexcept;

// While one lives, a command that fails inside it (a slot reacting to what
// the scope's owner does) hands its error over instead of showing it.
class DeferErrors {
public:
    DeferErrors() noexcept;
    ~DeferErrors();
    DeferErrors(const DeferErrors &) = delete;
    DeferErrors &operator=(const DeferErrors &) = delete;
};

} // namespace verbana

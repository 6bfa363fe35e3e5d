// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/commands.h"

#include "platform/prompts.h"
#include "platform/user_error.h"

#include <new>

namespace verbana {

bool runCommand(const std::function<void()> &command) noexcept
{
    try {
        command();
        return true;
    } catch (const EUserError &error) {
        showError(error.text());
    } catch (const std::bad_alloc &) {
        showError(QStringLiteral("메모리가 부족하여 작업을 마치지 못했습니다."));
    } catch (const std::exception &error) {
        showError(QString::fromUtf8(error.what()));
    } catch (...) {
        showError(QStringLiteral("알 수 없는 오류로 작업을 마치지 못했습니다."));
    }
    return false;
}

} // namespace verbana

#pragma once

#include "platform/SizeQuery.h"

#include <cerrno>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

// A failed SizeResult whose reason reads "<what> '<path>': <system message>", the path
// copied as bytes.
[[nodiscard]] inline SizeResult sizeFailure(SizeError error, std::string_view what,
                                            std::string_view path, int systemError)
{
    std::string reason;
    reason.reserve(what.size() + path.size() + 40);
    reason.append(what).append(" '").append(path).append("': ");
    reason.append(std::generic_category().message(systemError));
    return SizeResult::failure(error, std::move(reason));
}

// The SizeError for a system error met while opening or reading the target or a folder
// inside the tree: permission problems are AccessDenied, anything else is Other.
[[nodiscard]] inline SizeError accessError(int systemError)
{
    return (systemError == EACCES || systemError == EPERM) ? SizeError::AccessDenied
                                                           : SizeError::Other;
}

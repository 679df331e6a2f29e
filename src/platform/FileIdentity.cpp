#include "platform/FileIdentity.h"

#include <system_error>

bool FileIdentity::same(const std::filesystem::path &a, const std::filesystem::path &b)
{
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    const bool equivalent = std::filesystem::equivalent(a, b, error);
    return !error && equivalent;
}

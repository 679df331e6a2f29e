#include "platform/SizeQuery.h"

#include "sizing/linux/LinuxSizeQuery.h"

std::unique_ptr<SizeQuery> createSizeQuery()
{
    return std::make_unique<LinuxSizeQuery>();
}

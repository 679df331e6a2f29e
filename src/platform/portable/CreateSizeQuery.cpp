#include "platform/SizeQuery.h"

#include "platform/portable/PortableSizeQuery.h"

std::unique_ptr<SizeQuery> createSizeQuery()
{
    return std::make_unique<PortableSizeQuery>();
}

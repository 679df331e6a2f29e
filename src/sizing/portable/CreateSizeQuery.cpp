#include "platform/SizeQuery.h"

#include "sizing/portable/PortableSizeQuery.h"

std::unique_ptr<SizeQuery> createSizeQuery()
{
    return std::make_unique<PortableSizeQuery>();
}

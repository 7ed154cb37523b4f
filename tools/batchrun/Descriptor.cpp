// Closes a descriptor when its owner goes.

#include "Descriptor.h"

#include <unistd.h>

void CloseDescriptor::operator()(pointer descriptor) const
{
    close(descriptor.number);
}

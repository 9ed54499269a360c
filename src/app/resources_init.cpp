#include "resources_init.h"

#include <QtGlobal>

void initConingRateResources()
{
    Q_INIT_RESOURCE(resources);
}

#include "ui/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function in the global namespace.
static void RegisterMorvaneResources() {
    Q_INIT_RESOURCE(resources);
}

namespace morvane::ui {

void InitResources() {
    static const bool registered = [] {
        RegisterMorvaneResources();
        return true;
    }();
    (void)registered;
}

} // namespace morvane::ui

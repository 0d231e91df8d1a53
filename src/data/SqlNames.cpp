#include "data/SqlNames.h"

namespace meridell::data {

QString quotedName(const QString& name) {
    return u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"';
}

}  // namespace meridell::data

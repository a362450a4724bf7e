#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace mdlDim {

struct LoadedTables {
    QStringList entries;
    std::array<QString, 11> categories;
};

// Reads both data files into `out`. The category slots start from `previous`,
// so a slot the file no longer reaches keeps its last value. Empty on success,
// otherwise a description of what failed.
QString loadTables(const QString &entryPath, const QString &categoryPath, const std::array<QString, 11> &previous,
                   LoadedTables &out);

} // namespace mdlDim

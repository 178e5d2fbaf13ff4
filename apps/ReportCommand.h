#pragma once
#include <QStringList>

namespace Vandrel {

// vandrel report: one label per database record, laid out across and down
// the sheets of a band report, printed, written as PDF or previewed.
int ReportCommand(const QStringList& args);

} // namespace Vandrel

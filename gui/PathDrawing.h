#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

namespace dovetrel {

/// \p svg, a call flow as the drawing module draws it, with every box and arrow whose link title
/// (its file, or its "FILE:LINE") is in \p taken drawn in the colour of the call's path, and the
/// box titled \p strCurrent (the menu the call waits in, or the dial that rings) filled as well.
QByteArray DrawCallPath(const QByteArray& svg, const QSet<QString>& taken,
                        const QString& strCurrent);

} // namespace dovetrel

#pragma once
// An icon that is made when it is first drawn or measured. Making some icons reads files,
// loads image plugins or looks up the icon theme: a run that never draws a window should not
// pay for that.
#include <QIcon>
#include <functional>

namespace brindle {

// Make runs at most once per copy of the icon, when a pixmap, size or painting is asked for;
// until then the icon counts as not null.
QIcon DeferredIcon(std::function<QIcon()> make);
// The same for icons that views measure for rows they may never draw: until the icon is made,
// sizeOf answers what size of it fits the one asked for.
using TIconSizeOf = std::function<QSize(const QSize& wanted)>;
QIcon DeferredIcon(std::function<QIcon()> make, TIconSizeOf sizeOf);

}  // namespace brindle

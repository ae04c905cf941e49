#pragma once
// The images of the report trees, drawn by scripts/make-report-icons.py and installed with
// the resources. A missing file gives a null icon: the tree then shows text only.
#include <QIcon>

namespace brindle {

// Image `image` of the report catalogue; a folder row shows its open picture when expanded.
QIcon ReportTreeIcon(int image, bool expanded = false);

// The report-selection tree of the profile editor.
enum class TSelectionImage { FolderClosed, FolderOpen, Table, Chart };
QIcon SelectionTreeIcon(TSelectionImage image);

}  // namespace brindle

#include "ui/Filter_fr.h"

namespace brindle {

TfrFilter::TfrFilter(TUiServices& ui, QWidget* parent) : QFrame(parent), ui_(ui) {}

}  // namespace brindle

#include "box_hint.h"

#include "face_fitting.h"
#include "input_message.h"

#include <QLineEdit>

namespace solvara::ui {

void hintWholeText(QLineEdit &box, int column)
{
    const QString text = box.text();
    box.setToolTip(standsWhole(box, text, box.font())
                       ? QString()
                       : QString::fromStdString(readingHint(column, text.toStdString())));
}

} // namespace solvara::ui

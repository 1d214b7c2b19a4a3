#include "text_colours.h"

#include "layout.h"
#include "readable_text.h"

#include <QWidget>

namespace solvara::ui {

void makeTextReadable(const QPalette &theme, const std::vector<QWidget *> &controls)
{
    const QColor cellText = readableText(theme.color(QPalette::Disabled, QPalette::Text),
                                         theme.color(QPalette::Disabled, QPalette::Base));
    const auto &entries = mainFormControls();
    for (std::size_t i = 0; i < entries.size() && i < controls.size(); ++i) {
        QPalette own = controls[i]->palette();
        if (entries[i].red) {
            for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                own.setColor(group, QPalette::WindowText,
                             readableText(QColor(255, 0, 0), theme.color(group, QPalette::Window)));
        } else if (entries[i].kind == ControlKind::TextBox && !entries[i].enabled) {
            own.setColor(QPalette::Disabled, QPalette::Text, cellText);
        } else {
            continue;
        }
        controls[i]->setPalette(own);
    }
}

} // namespace solvara::ui

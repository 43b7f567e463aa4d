#include "gui/app/status_panels.h"

#include <QLabel>
#include <QStatusBar>

namespace pelko {

void StatusPanels::addTo(QStatusBar& bar)
{
    const int widths[] = {200, 35, 110, 120, 120};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QString("statusPanel%1").arg(i + 1));
        // at least the classic width, wider when the text needs it
        panel->setMinimumWidth(widths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i == 1)
            panel->setAlignment(Qt::AlignCenter);
        bar.addWidget(panel);
        panels_[std::size_t(i)] = panel;
    }
    hint_ = new QLabel;
    hint_->setObjectName("statusHint");
    hint_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar.addWidget(hint_, 1);
}

void StatusPanels::showHint(const QString& hint)
{
    hint_->setText(hint);
}

QString StatusPanels::hint() const
{
    return hint_->text();
}

QString StatusPanels::text(int index) const
{
    return panels_.at(std::size_t(index))->text();
}

void StatusPanels::setText(int index, const QString& text)
{
    panels_.at(std::size_t(index))->setText(text);
}

}  // namespace pelko

#include "controls/control_interfaces.h"

#include "foundation/text.h"

#include <QFocusEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QVariant>
#include <QWidget>
#include <cmath>

namespace marqor {

std::int64_t TBSControlValue::AsInteger() const {
    switch (kind) {
    case vkInteger:
    case vkBoolean:
        return integer;
    case vkFloat:
    case vkDateTime:
        return std::llround(number);
    default:
        return StrToIntDef(text, 0);
    }
}

double TBSControlValue::AsFloat() const {
    switch (kind) {
    case vkInteger:
    case vkBoolean:
        return double(integer);
    case vkFloat:
    case vkDateTime:
        return number;
    default:
        return ParseFloat(Trim(text)).value_or(0);
    }
}

std::string TBSControlValue::AsString() const {
    if (empty)
        return {};
    switch (kind) {
    case vkInteger:
        return std::to_string(integer);
    case vkBoolean:
        return integer ? "True" : "False";
    case vkFloat:
    case vkDateTime:
        return FloatToText(number);
    default:
        return text;
    }
}

void SetReadOnlyTree(QWidget* container, bool readOnly) {
    if (!container)
        return;
    for (QObject* child : container->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget)
            continue;
        if (auto* edit = dynamic_cast<IBSEditControl*>(widget)) {
            if (!edit->GetParentReadOnly())
                continue;
            edit->SetReadOnly(readOnly);
        }
        SetReadOnlyTree(widget, readOnly);
    }
}

int Tag(const QObject* object) {
    return object ? object->property("Tag").toInt() : 0;
}

void SetTag(QObject* object, int tag) {
    if (object)
        object->setProperty("Tag", tag);
}

std::string ComponentName(const QObject* object) {
    return object ? object->objectName().toStdString() : std::string();
}

void SetReadableDisabledLook(QWidget* widget, bool readable) {
    if (!widget)
        return;
    if (!readable) {
        if (widget->property("marqorReadableLook").toBool()) {
            widget->setPalette(QPalette());
            widget->setProperty("marqorReadableLook", false);
        }
        return;
    }
    QPalette p = widget->parentWidget() ? widget->parentWidget()->palette() : widget->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = QPalette::ColorRole(role);
        p.setBrush(QPalette::Disabled, r, p.brush(QPalette::Active, r));
    }
    widget->setPalette(p);
    widget->setProperty("marqorReadableLook", true);
}

QIcon ControlGlyph(const std::string& name) {
    const int size = 16;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(64, 64, 64);
    p.setPen(QPen(ink, 1.2));
    if (name == "BS_GLYPH_DATE") {
        p.drawRect(QRectF(2.5, 3.5, 11, 10));
        p.fillRect(QRectF(2.5, 3.5, 11, 2.5), ink);
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col)
                p.fillRect(QRectF(4 + col * 3, 7.5 + row * 3, 1.8, 1.8), ink);
    } else if (name == "BS_GLYPH_NUMERIC_PAD") {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                p.fillRect(QRectF(2.5 + col * 4, 2.5 + row * 4, 3, 3), ink);
        p.fillRect(QRectF(6.5, 14, 3, 1.5), ink);
    } else if (name == "BS_GLYPH_FILE") {
        QPainterPath path;
        path.moveTo(3.5, 2.5);
        path.lineTo(9.5, 2.5);
        path.lineTo(12.5, 5.5);
        path.lineTo(12.5, 13.5);
        path.lineTo(3.5, 13.5);
        path.closeSubpath();
        p.drawPath(path);
        p.drawLine(QPointF(9.5, 2.5), QPointF(9.5, 5.5));
        p.drawLine(QPointF(9.5, 5.5), QPointF(12.5, 5.5));
    } else if (name == "BS_GLYPH_CLEAR") {
        p.setPen(QPen(ink, 1.8));
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    } else if (name == "POPUPBUTTON") {
        p.setBrush(ink);
        p.drawEllipse(QPointF(4, 8), 1.2, 1.2);
        p.drawEllipse(QPointF(8, 8), 1.2, 1.2);
        p.drawEllipse(QPointF(12, 8), 1.2, 1.2);
    } else {
        QPainterPath arrow;
        arrow.moveTo(4, 6);
        arrow.lineTo(12, 6);
        arrow.lineTo(8, 11);
        arrow.closeSubpath();
        p.fillPath(arrow, ink);
    }
    p.end();
    return QIcon(pixmap);
}

bool IsFocusExit(const QFocusEvent* event) {
    return event->reason() != Qt::ActiveWindowFocusReason &&
           event->reason() != Qt::PopupFocusReason;
}

std::unique_ptr<QKeyEvent> CaseConvertedKey(const QKeyEvent& event, bool upper) {
    const QString changed = upper ? event.text().toUpper() : event.text().toLower();
    if (event.text().isEmpty() || changed == event.text())
        return nullptr;
    return std::make_unique<QKeyEvent>(event.type(), event.key(), event.modifiers(), changed,
                                       event.isAutoRepeat(), ushort(event.count()));
}

} // namespace marqor

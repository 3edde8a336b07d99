#include "ImgButton.h"

#include "ErrorGuard.h"
#include "PaintGuard.h"
#include "TGraphic.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {

void copyInto(TPicture& target, const TPicture* source)
{
    target.assign(source);
}

} // namespace

// ---------------------------------------------------------------------------------------------

TImgManager::TImgManager(QObject* parent)
    : QObject(parent), m_imgNormal(std::make_unique<TPicture>()),
      m_imgEnter(std::make_unique<TPicture>()), m_imgDown(std::make_unique<TPicture>()),
      m_imgDisable(std::make_unique<TPicture>()), m_imgCheck(std::make_unique<TPicture>())
{}

TImgManager::~TImgManager() = default;

void TImgManager::setImgNormal(const TPicture* value)
{
    copyInto(*m_imgNormal, value);
}

void TImgManager::setImgEnter(const TPicture* value)
{
    copyInto(*m_imgEnter, value);
}

void TImgManager::setImgDown(const TPicture* value)
{
    copyInto(*m_imgDown, value);
}

void TImgManager::setImgDisable(const TPicture* value)
{
    copyInto(*m_imgDisable, value);
}

void TImgManager::setImgCheck(const TPicture* value)
{
    copyInto(*m_imgCheck, value);
}

// ---------------------------------------------------------------------------------------------

TImgControl::TImgControl(QWidget* parent)
    : QWidget(parent), m_imgNormal(std::make_unique<TPicture>()),
      m_imgEnter(std::make_unique<TPicture>()), m_imgDown(std::make_unique<TPicture>()),
      m_imgDisable(std::make_unique<TPicture>()), m_imgCheck(std::make_unique<TPicture>())
{
    // Windowless: no background of its own, no focus; the parent shows through.
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

TImgControl::~TImgControl() = default;

void TImgControl::setCaption(const QString& value)
{
    if (m_caption == value)
        return;
    m_caption = value;
    setAccessibleName(m_caption.isEmpty() ? toolTip() : m_caption);
    repaint();
}

void TImgControl::setHint(const QString& value)
{
    setToolTip(value);
    setAccessibleName(m_caption.isEmpty() ? value : m_caption);
}

void TImgControl::setAutoSize(bool value)
{
    if (m_autoSize == value)
        return;
    m_autoSize = value;
    applyAutoSize();
}

void TImgControl::applyAutoSize()
{
    if (!m_autoSize || m_imgNormal->empty())
        return;
    resize(m_imgNormal->width(), height());
    resize(width(), m_imgNormal->height());
}

void TImgControl::setImgNormal(const TPicture* value)
{
    copyInto(*m_imgNormal, value);
    applyAutoSize();
    update();
}

void TImgControl::setImgEnter(const TPicture* value)
{
    copyInto(*m_imgEnter, value);
    update();
}

void TImgControl::setImgDown(const TPicture* value)
{
    copyInto(*m_imgDown, value);
    update();
}

void TImgControl::setImgDisable(const TPicture* value)
{
    copyInto(*m_imgDisable, value);
    update();
}

void TImgControl::setImgCheck(const TPicture* value)
{
    copyInto(*m_imgCheck, value);
}

void TImgControl::setImgManager(TImgManager* value)
{
    m_imgManager = value;
    update();
    if (m_autoRepaintParent && parentWidget())
        parentWidget()->update();
}

void TImgControl::setImgButtonLayout(TImgControlLayout value)
{
    if (m_layout == value)
        return;
    m_layout = value;
    update();
}

void TImgControl::setSpacing(int value)
{
    if (m_spacing == value)
        return;
    m_spacing = value;
    update();
}

void TImgControl::repaintNow()
{
    repaint();
    if (m_autoRepaintParent && parentWidget())
        parentWidget()->repaint();
}

void TImgControl::scheduleRepaint()
{
    update();
    if (m_autoRepaintParent && parentWidget())
        parentWidget()->update();
}

void TImgControl::click()
{
    emit Click();
}

bool TImgControl::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !m_showHint) {
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void TImgControl::takeManagerPictures()
{
    if (!m_imgManager)
        return;
    const std::pair<TPicture*, TPicture*> roles[] = {
        {m_imgNormal.get(), m_imgManager->ImgNormal()},
        {m_imgEnter.get(), m_imgManager->ImgEnter()},
        {m_imgDown.get(), m_imgManager->ImgDown()},
        {m_imgDisable.get(), m_imgManager->ImgDisable()},
        {m_imgCheck.get(), m_imgManager->ImgCheck()},
    };
    for (const auto& [own, shared] : roles) {
        if (!shared->empty())
            own->assign(shared);
    }
}

void TImgControl::fillFallbacks()
{
    for (TPicture* p : {m_imgEnter.get(), m_imgDown.get(), m_imgDisable.get()}) {
        if (p->empty())
            p->assign(m_imgNormal.get());
    }
}

TPicture* TImgControl::chosenPicture() const
{
    if (!isEnabled())
        return m_imgDisable.get();
    switch (m_visualState) {
    case isEnter:
        return m_imgEnter.get();
    case isDown:
        return m_imgDown.get();
    case isChecked:
        return m_imgCheck.get();
    default:
        return m_imgNormal.get();
    }
}

void TImgControl::paintEvent(QPaintEvent*)
{
    guardedPaint([this] {
        takeManagerPictures();
        fillFallbacks();
        const TPicture* picture = chosenPicture();
        if (picture->empty())
            return;

        const QFontMetrics fm(font());
        ImgButtonGeometry::Input in;
        in.control = size();
        in.image = QSize(picture->width(), picture->height());
        in.hasCaption = !m_caption.isEmpty();
        in.caption =
            in.hasCaption ? QSize(fm.horizontalAdvance(m_caption), fm.height()) : QSize(0, 0);
        in.layout = m_layout;
        in.spacing = m_spacing;
        in.state = m_visualState;
        in.enterOffset = m_onEnterOffset;
        in.downOffset = m_onDownOffset;
        const ImgButtonGeometry::Placement at = ImgButtonGeometry::place(in);

        QPainter p(this);
        picture->graphic()->drawAt(p, at.image);
        if (in.hasCaption) {
            p.setFont(font());
            p.setPen(palette().color(QPalette::WindowText));
            p.setBackgroundMode(Qt::TransparentMode);
            p.drawText(at.caption.x(), at.caption.y() + fm.ascent(), m_caption);
        }
    });
}

void TImgControl::enterEvent(QEnterEvent*)
{
    guarded([this] {
        if (!isEnabled() || m_pressed || m_visualState == isChecked)
            return;
        m_visualState = isEnter;
        repaintNow();
    });
}

void TImgControl::leaveEvent(QEvent*)
{
    guarded([this] {
        if (!isEnabled() || m_pressed || m_visualState == isChecked)
            return;
        m_visualState = isNormal;
        repaintNow();
    });
}

void TImgControl::leftButtonDown()
{
    if (!isEnabled() || m_visualState == isChecked)
        return;
    m_visualState = isDown;
    m_pressed = true;
    repaintNow();
}

void TImgControl::mousePressEvent(QMouseEvent* event)
{
    guarded([this, event] {
        if (event->button() != Qt::LeftButton)
            return;
        m_clickArmed = true;
        leftButtonDown();
    });
}

void TImgControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    guarded([this, event] {
        if (event->button() != Qt::LeftButton)
            return;
        // The second press of a double click raises DblClick instead of arming a click.
        emit DblClick();
        leftButtonDown();
    });
}

void TImgControl::mouseReleaseEvent(QMouseEvent* event)
{
    // The cursor's position at the release, as Qt's own enter and leave tracking uses it: if a
    // click handler runs a modal window meanwhile, the next mouse move corrects the state.
    const QPoint globalPos = event->globalPosition().toPoint();
    const bool inside = rect().contains(event->position().toPoint());
    guarded([&] {
        if (event->button() != Qt::LeftButton)
            return;
        const bool clicked = m_clickArmed && inside;
        m_clickArmed = false;
        if (clicked)
            click();
        if (!isEnabled() || m_visualState == isChecked)
            return;
        // The control under the cursor, disabled ones included; a sibling lying over this
        // one counts as another control.
        m_visualState = QApplication::widgetAt(globalPos) == this ? isEnter : isNormal;
        m_pressed = false;
        repaintNow();
    });
}

void TImgControl::changeEvent(QEvent* event)
{
    guarded([this, event] {
        if (event->type() == QEvent::EnabledChange) {
            m_visualState = isNormal;
            m_pressed = false;
            m_clickArmed = false;
            repaint();
        } else if (event->type() == QEvent::FontChange) {
            repaint();
        }
    });
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------------------------

TImgCheckButton::TImgCheckButton(QWidget* parent) : TImgControl(parent) {}

void TImgCheckButton::setChecked(bool value)
{
    if (m_checked == value)
        return;
    if (QWidget* parent = parentWidget()) {
        for (QObject* child : parent->children()) {
            auto* other = qobject_cast<TImgCheckButton*>(child);
            if (!other || other == this || other->m_checkGroup != m_checkGroup || !other->m_checked)
                continue;
            other->m_checked = false;
            other->setVisualState(isNormal);
            other->scheduleRepaint();
        }
    }
    m_checked = value;
    setVisualState(value ? isChecked : isNormal);
    scheduleRepaint();
}

void TImgCheckButton::click()
{
    emit Click();
    if (!m_checked)
        setChecked(true);
    clearPressed();
}

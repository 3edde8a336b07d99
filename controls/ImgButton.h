#pragma once

#include "ImgButtonGeometry.h"
#include "TPicture.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

// A shared set of five pictures that any number of image buttons may point to. Setting a
// picture only copies it in: buttons take the manager's pictures at their next paint.
class TImgManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TPicture* ImgNormal READ ImgNormal WRITE setImgNormal)
    Q_PROPERTY(TPicture* ImgCheck READ ImgCheck WRITE setImgCheck)
    Q_PROPERTY(TPicture* ImgEnter READ ImgEnter WRITE setImgEnter)
    Q_PROPERTY(TPicture* ImgDown READ ImgDown WRITE setImgDown)
    Q_PROPERTY(TPicture* ImgDisable READ ImgDisable WRITE setImgDisable)
public:
    explicit TImgManager(QObject* parent = nullptr);
    ~TImgManager() override;

    TPicture* ImgNormal() const { return m_imgNormal.get(); }
    void setImgNormal(const TPicture* value);
    TPicture* ImgEnter() const { return m_imgEnter.get(); }
    void setImgEnter(const TPicture* value);
    TPicture* ImgDown() const { return m_imgDown.get(); }
    void setImgDown(const TPicture* value);
    TPicture* ImgDisable() const { return m_imgDisable.get(); }
    void setImgDisable(const TPicture* value);
    TPicture* ImgCheck() const { return m_imgCheck.get(); }
    void setImgCheck(const TPicture* value);

private:
    std::unique_ptr<TPicture> m_imgNormal;
    std::unique_ptr<TPicture> m_imgEnter;
    std::unique_ptr<TPicture> m_imgDown;
    std::unique_ptr<TPicture> m_imgDisable;
    std::unique_ptr<TPicture> m_imgCheck;
};

// A windowless picture button: drawn over its parent (which shows through transparent
// pixels), it shows one of five pictures by its state (normal, mouse over, pressed, disabled,
// checked) with an optional caption beside, above or below the picture.
//
// Visual states: 0 normal, 1 mouse over, 2 pressed (left button held since a press on it),
// 3 checked (check buttons only). While the pressed flag is set, entering and leaving change
// nothing; the release then gives 1 if the control under the cursor is this one, else 0.
// In state 3 the mouse changes nothing. A change of enabled resets the state to 0.
//
// At every paint the manager's non-empty pictures are copied in for good, then empty
// ImgEnter, ImgDown and ImgDisable are filled with copies of ImgNormal (also for good).
class TImgControl : public QWidget
{
    Q_OBJECT
    // The properties both picture buttons publish.
    Q_PROPERTY(int Tag READ Tag WRITE setTag)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(TImgManager* ImgManager READ ImgManager WRITE setImgManager)
    Q_PROPERTY(TPicture* ImgNormal READ ImgNormal WRITE setImgNormal)
    Q_PROPERTY(TPicture* ImgEnter READ ImgEnter WRITE setImgEnter)
    Q_PROPERTY(TPicture* ImgDown READ ImgDown WRITE setImgDown)
    Q_PROPERTY(TPicture* ImgDisable READ ImgDisable WRITE setImgDisable)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(int OnEnterOffset READ OnEnterOffset WRITE setOnEnterOffset)
    Q_PROPERTY(int OnDownOffset READ OnDownOffset WRITE setOnDownOffset)
    Q_PROPERTY(TImgControlLayout ImgButtonLayout READ ImgButtonLayout WRITE setImgButtonLayout)
    Q_PROPERTY(bool AutoRepaintParent READ AutoRepaintParent WRITE setAutoRepaintParent)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)
public:
    explicit TImgControl(QWidget* parent = nullptr);
    ~TImgControl() override;

    int Tag() const { return m_tag; }
    void setTag(int value) { m_tag = value; }
    QString Caption() const { return m_caption; }
    // Repaints at once when the caption changes.
    void setCaption(const QString& value);
    QString Hint() const { return toolTip(); }
    // The hint is also the name a screen reader gives the control, unless it has a caption.
    void setHint(const QString& value);
    bool ShowHint() const { return m_showHint; }
    void setShowHint(bool value) { m_showHint = value; }

    bool AutoSize() const { return m_autoSize; }
    // When set, the control takes ImgNormal's size at once and whenever ImgNormal is set.
    void setAutoSize(bool value);

    TPicture* ImgNormal() const { return m_imgNormal.get(); }
    // Copies the picture in; applies auto-size; schedules a repaint. The same (without the
    // auto-size) for the next three.
    void setImgNormal(const TPicture* value);
    TPicture* ImgEnter() const { return m_imgEnter.get(); }
    void setImgEnter(const TPicture* value);
    TPicture* ImgDown() const { return m_imgDown.get(); }
    void setImgDown(const TPicture* value);
    TPicture* ImgDisable() const { return m_imgDisable.get(); }
    void setImgDisable(const TPicture* value);

    TImgManager* ImgManager() const { return m_imgManager; }
    // Schedules a repaint (and one of the parent with AutoRepaintParent).
    void setImgManager(TImgManager* value);

    TImgControlLayout ImgButtonLayout() const { return m_layout; }
    void setImgButtonLayout(TImgControlLayout value);
    bool AutoRepaintParent() const { return m_autoRepaintParent; }
    void setAutoRepaintParent(bool value) { m_autoRepaintParent = value; }
    // The gap between picture and caption; used as an unsigned 16-bit number.
    int Spacing() const { return m_spacing; }
    void setSpacing(int value);
    // Pixels the picture and caption move up-left while the mouse is over the control; the
    // next paint uses a new value.
    int OnEnterOffset() const { return m_onEnterOffset; }
    void setOnEnterOffset(int value) { m_onEnterOffset = value; }
    // Pixels they move down-right while pressed.
    int OnDownOffset() const { return m_onDownOffset; }
    void setOnDownOffset(int value) { m_onDownOffset = value; }

    int visualState() const { return m_visualState; }
    bool isPressed() const { return m_pressed; }

signals:
    // A left button pressed and released inside the control; raised before the release
    // changes the state.
    void Click();
    void DblClick();

protected:
    TPicture* ImgCheck() const { return m_imgCheck.get(); }
    // Copies the picture in; repaints nothing.
    void setImgCheck(const TPicture* value);

    virtual void click();
    void setVisualState(int state) { m_visualState = quint8(state); }
    void clearPressed() { m_pressed = false; }
    // Redraws now (the parent's area under the control first), and the whole parent with
    // AutoRepaintParent.
    void repaintNow();
    // Marks for the next paint cycle, likewise.
    void scheduleRepaint();

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyAutoSize();
    void takeManagerPictures();
    void fillFallbacks();
    TPicture* chosenPicture() const;
    void leftButtonDown();

    std::unique_ptr<TPicture> m_imgNormal;
    std::unique_ptr<TPicture> m_imgEnter;
    std::unique_ptr<TPicture> m_imgDown;
    std::unique_ptr<TPicture> m_imgDisable;
    std::unique_ptr<TPicture> m_imgCheck;
    bool m_autoSize = false;
    TImgControlLayout m_layout = iclImgTop;
    bool m_autoRepaintParent = false;
    int m_spacing = 2;
    int m_onEnterOffset = 1;
    int m_onDownOffset = 1;
    bool m_pressed = false;
    // Not owned; a manager that goes away simply stops being consulted.
    QPointer<TImgManager> m_imgManager;
    quint8 m_visualState = isNormal;

    bool m_clickArmed = false; // a left press on the control, waiting for its release
    int m_tag = 0;
    QString m_caption;
    bool m_showHint = true;
};

// A plain picture button.
class TImgButton : public TImgControl
{
    Q_OBJECT
public:
    using TImgControl::TImgControl;
};

// A checkable picture button, one of a group of mutually exclusive choices: the buttons of
// the same parent with the same CheckGroup. A click checks it (never unchecks it).
class TImgCheckButton : public TImgControl
{
    Q_OBJECT
    Q_PROPERTY(int CheckGroup READ CheckGroup WRITE setCheckGroup)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(TPicture* ImgCheck READ ImgCheck WRITE setImgCheck)
public:
    explicit TImgCheckButton(QWidget* parent = nullptr);

    using TImgControl::ImgCheck;
    using TImgControl::setImgCheck;

    int CheckGroup() const { return m_checkGroup; }
    void setCheckGroup(int value) { m_checkGroup = value; }
    bool Checked() const { return m_checked; }
    // The group rule: unless the value is already set, every other checked button of the same
    // parent and group is cleared (also when clearing this one), then this one takes the value
    // and shows state 3 (checked) or 0.
    void setChecked(bool value);

protected:
    // Raises Click (Checked still as before), then checks an unchecked button.
    void click() override;

private:
    int m_checkGroup = 0;
    bool m_checked = false;
};

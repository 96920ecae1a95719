#pragma once

#include "update/published/progressbartypes.h"
#include "update/progressbar/progressbarlogic.h"

#include <QImage>
#include <QWidget>
#include <cstdint>

class CaptionLabel;

namespace platform {
class PropertyBag;
}

// The progress bar: a row of dots in one colour or along a colour ramp, with
// an optional caption over them. It draws on a retained image of its client
// area (inside the border) and repaints only the dots that changed when
// Value moves. Every drawing ends with one pass over pending events. Errors
// are platform::RuntimeError and go back to the caller of the setter.
class qvProgressBar : public QWidget {
    Q_OBJECT

public:
    // A bar with every property at its default, drawn in full, with a client
    // area of 320 by 75 pixels.
    explicit qvProgressBar(QWidget *parent = nullptr);
    ~qvProgressBar() override;

    // Properties. Unless a setter says otherwise it stores the value and then
    // redraws the whole bar.
    bool ReverseGradient() const { return m_ReverseGradient; }
    void setReverseGradient(bool value);
    bool Horizontal() const { return m_Horizontal; }
    void setHorizontal(bool value);
    // Caption alignment: 0 left, 1 right, 2 centred. Stored, then applied to
    // the caption without drawing; another value fails with 380 (6 outside
    // 16 bits) and stays stored.
    std::int32_t Alignment() const { return m_Alignment; }
    void setAlignment(std::int32_t value);
    progressbar::GradientColour GradientColour() const { return m_GradientColour; }
    void setGradientColour(progressbar::GradientColour value);
    std::int16_t MarginSize() const { return m_MarginSize; }
    void setMarginSize(std::int16_t value);
    // Stored, then applied to the border without drawing; a value other than
    // None or FixedSingle fails with 380 (6 outside 16 bits) and stays stored.
    progressbar::BorderStyle BorderStyle() const { return m_BorderStyle; }
    void setBorderStyle(progressbar::BorderStyle value);
    progressbar::OleColour BackColour() const { return m_BackColour; }
    void setBackColour(progressbar::OleColour value);
    progressbar::OleColour FontColour() const { return m_FontColour; }
    void setFontColour(progressbar::OleColour value);
    progressbar::OleColour BarColour() const { return m_BarColour; }
    void setBarColour(progressbar::OleColour value);
    // Max and Min keep Max - Min at least DotWidth + GapWidth by moving the
    // other end, and pull Value inside; 6 when a sum leaves 32 bits.
    std::int32_t Max() const { return m_Max; }
    void setMax(std::int32_t value);
    std::int32_t Min() const { return m_Min; }
    void setMin(std::int32_t value);
    // Clamped into Min..Max; redraws only the dots that changed.
    std::int32_t Value() const { return m_Value; }
    void setValue(std::int32_t value);
    // Held in 16 bits (6 beyond them, nothing stored); at least 1.
    std::int32_t DotWidth() const { return m_DotWidth; }
    void setDotWidth(std::int32_t value);
    // Held in 16 bits (6 beyond them, nothing stored); at least 0.
    std::int32_t GapWidth() const { return m_GapWidth; }
    void setGapWidth(std::int32_t value);
    progressbar::CaptionType CaptionType() const { return m_CaptionType; }
    void setCaptionType(progressbar::CaptionType value);
    // Write-only: under progressbar::CaptionCustom the caption shows the text (then one
    // pass over pending events); under any other type the text is dropped.
    void setCaption(const QString &text);

    // Restores the fourteen saved settings as stored (no clamping), then
    // redraws once. A value that can't be converted ends the load with its
    // error; the settings read before it keep their loaded values.
    void ReadProperties(const platform::PropertyBag &bag);
    // Writes all fourteen settings, every one, defaults included.
    void WriteProperties(platform::PropertyBag &bag) const;

    // The host's ambient UserMode: false in a form designer, where becoming
    // visible shows a full bar. True unless the host says otherwise.
    bool ambientUserMode() const { return m_ambientUserMode; }
    void setAmbientUserMode(bool userMode);

    // The retained drawing of the client area.
    const QImage &surface() const { return m_surface; }
    // The caption as shown, and whether it is shown at all.
    QString captionText() const;
    bool captionShown() const;
    // The client area in the widget's coordinates (inside the border).
    QRect clientRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void DrawBar(bool fullRedraw);
    void prepareFullRedraw();
    void walkDots(std::int16_t target);
    void applyBorderStyle();
    void applyAlignment();
    void setCaptionColour(const QColor &colour);
    void placeCaption(int clientTop, int width);
    progressbar::DotColours dotColours() const;
    // A full redraw that the window system asked for: its error can't go
    // back to the window system, so it is reported as a warning instead.
    void redrawForWindowSystem(const char *handler);

    progressbar::OleColour m_BackColour = 0x000000;
    progressbar::OleColour m_BarColour = 0xFFFF00;
    progressbar::OleColour m_FontColour = 0xFFFFFF;
    bool m_Horizontal = true;
    std::int32_t m_Max = 100;
    std::int32_t m_Min = 0;
    std::int32_t m_Value = 0;
    std::int16_t m_GapWidth = 2;
    std::int16_t m_DotWidth = 3;
    progressbar::CaptionType m_CaptionType = progressbar::CaptionPercent;
    progressbar::BorderStyle m_BorderStyle = progressbar::BorderStyle::FixedSingle;
    std::int16_t m_MarginSize = 2;
    progressbar::GradientColour m_GradientColour = progressbar::GradientNone;
    std::int32_t m_Alignment = progressbar::Center;
    bool m_ReverseGradient = false;

    std::int32_t m_dotsDrawn = 0;
    progressbar::BarLayout m_layout;
    QImage m_surface;
    CaptionLabel *m_lblCaption;
    bool m_ambientUserMode = true;
    int m_borderWidth = 0;
};

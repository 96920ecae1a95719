#include "update/library/progressbarobject.h"

#include "update/library/typelibrary.h"
#include "update/progressbar/qvprogressbar.h"

#include <QEvent>
#include <bit>
#include <functional>

namespace qvWebUpdate {

using namespace platform::com;
namespace id = qvProgressBarId;

namespace {

// Runs a function before the watched widget handles its show event.
class ShowWatcher : public QObject {
public:
    ShowWatcher(QWidget *widget, std::function<void()> onShow)
        : QObject(widget), m_onShow(std::move(onShow))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            m_onShow();
        return false;
    }

private:
    std::function<void()> m_onShow;
};

// An OLE colour travels as a Long: the same 32 bits, read as signed.
platform::Variant colourValue(progressbar::OleColour colour)
{
    return platform::Variant(std::bit_cast<std::int32_t>(colour));
}

progressbar::OleColour colourOf(const platform::Variant &v)
{
    return std::bit_cast<progressbar::OleColour>(v.toInt32());
}

} // namespace

HRESULT ProgressBarObject::create(const IID &riid, void **ppv)
{
    auto *object = new ProgressBarObject();
    const HRESULT h = object->QueryInterface(riid, ppv);
    object->Release();
    return h;
}

ProgressBarObject::ProgressBarObject()
    : DualControlObject(qvProgressBarClass(), new qvProgressBar)
{
    qvProgressBar *b = bar();
    new ShowWatcher(b, [this] { bar()->setAmbientUserMode(ambientUserMode()); });

    using V = platform::Variant;
    bind({
        {id::ReverseGradient, [b] { return V(b->ReverseGradient()); },
         [b](const V &v) { b->setReverseGradient(v.toBool()); }, {}},
        {id::Horizontal, [b] { return V(b->Horizontal()); }, [b](const V &v) { b->setHorizontal(v.toBool()); }, {}},
        {id::Alignment, [b] { return V(b->Alignment()); }, [b](const V &v) { b->setAlignment(v.toInt32()); }, {}},
        {id::GradientColour, [b] { return V(std::int32_t(b->GradientColour())); },
         [b](const V &v) { b->setGradientColour(progressbar::GradientColour(v.toInt32())); }, {}},
        {id::MarginSize, [b] { return V(b->MarginSize()); }, [b](const V &v) { b->setMarginSize(v.toInt16()); }, {}},
        {id::BorderStyle, [b] { return V(std::int32_t(b->BorderStyle())); },
         [b](const V &v) { b->setBorderStyle(progressbar::BorderStyle(v.toInt32())); }, {}},
        {id::BackColour, [b] { return colourValue(b->BackColour()); },
         [b](const V &v) { b->setBackColour(colourOf(v)); }, {}},
        {id::FontColour, [b] { return colourValue(b->FontColour()); },
         [b](const V &v) { b->setFontColour(colourOf(v)); }, {}},
        {id::BarColour, [b] { return colourValue(b->BarColour()); }, [b](const V &v) { b->setBarColour(colourOf(v)); },
         {}},
        {id::Max, [b] { return V(b->Max()); }, [b](const V &v) { b->setMax(v.toInt32()); }, {}},
        {id::Min, [b] { return V(b->Min()); }, [b](const V &v) { b->setMin(v.toInt32()); }, {}},
        {id::Value, [b] { return V(b->Value()); }, [b](const V &v) { b->setValue(v.toInt32()); }, {}},
        {id::DotWidth, [b] { return V(b->DotWidth()); }, [b](const V &v) { b->setDotWidth(v.toInt32()); }, {}},
        {id::GapWidth, [b] { return V(b->GapWidth()); }, [b](const V &v) { b->setGapWidth(v.toInt32()); }, {}},
        {id::CaptionType, [b] { return V(std::int32_t(b->CaptionType())); },
         [b](const V &v) { b->setCaptionType(progressbar::CaptionType(v.toInt32())); }, {}},
        {id::Caption, {}, [b](const V &v) { b->setCaption(v.toString()); }, {}},
    });
}

qvProgressBar *ProgressBarObject::bar() const
{
    return static_cast<qvProgressBar *>(widget());
}

void ProgressBarObject::readProperties(const platform::PropertyBag &bag)
{
    bar()->ReadProperties(bag);
}

void ProgressBarObject::writeProperties(platform::PropertyBag &bag)
{
    bar()->WriteProperties(bag);
}

void ProgressBarObject::siteChanged()
{
    bar()->setAmbientUserMode(ambientUserMode());
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_ReverseGradient(VARIANT_BOOL *value)
{
    return getValue(id::ReverseGradient, VT_BOOL, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_ReverseGradient(VARIANT_BOOL *value)
{
    return putValue(id::ReverseGradient, VT_BOOL, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_Horizontal(VARIANT_BOOL *value)
{
    return getValue(id::Horizontal, VT_BOOL, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_Horizontal(VARIANT_BOOL *value)
{
    return putValue(id::Horizontal, VT_BOOL, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_Alignment(LONG *value)
{
    return getValue(id::Alignment, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_Alignment(LONG *value)
{
    return putValue(id::Alignment, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_GradientColour(LONG *value)
{
    return getValue(id::GradientColour, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_GradientColour(LONG *value)
{
    return putValue(id::GradientColour, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_MarginSize(SHORT *value)
{
    return getValue(id::MarginSize, VT_I2, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_MarginSize(SHORT *value)
{
    return putValue(id::MarginSize, VT_I2, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_BorderStyle(LONG *value)
{
    return getValue(id::BorderStyle, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_BorderStyle(LONG *value)
{
    return putValue(id::BorderStyle, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_BackColour(OleColour *value)
{
    return getValue(id::BackColour, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_BackColour(OleColour *value)
{
    return putValue(id::BackColour, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_FontColour(OleColour *value)
{
    return getValue(id::FontColour, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_FontColour(OleColour *value)
{
    return putValue(id::FontColour, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_BarColour(OleColour *value)
{
    return getValue(id::BarColour, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_BarColour(OleColour *value)
{
    return putValue(id::BarColour, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_Max(LONG *value)
{
    return getValue(id::Max, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_Max(LONG *value)
{
    return putValue(id::Max, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_Min(LONG *value)
{
    return getValue(id::Min, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_Min(LONG *value)
{
    return putValue(id::Min, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_Value(LONG *value)
{
    return getValue(id::Value, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_Value(LONG *value)
{
    return putValue(id::Value, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_DotWidth(LONG *value)
{
    return getValue(id::DotWidth, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_DotWidth(LONG *value)
{
    return putValue(id::DotWidth, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_GapWidth(LONG *value)
{
    return getValue(id::GapWidth, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_GapWidth(LONG *value)
{
    return putValue(id::GapWidth, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::get_CaptionType(LONG *value)
{
    return getValue(id::CaptionType, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_CaptionType(LONG *value)
{
    return putValue(id::CaptionType, VT_I4, value);
}

HRESULT STDMETHODCALLTYPE ProgressBarObject::put_Caption(BSTR *value)
{
    return putValue(id::Caption, VT_BSTR, value);
}

} // namespace qvWebUpdate

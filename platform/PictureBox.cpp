#include "platform/PictureBox.h"

#include "core/FileIO.h"
#include "platform/MessageBox.h"
#include "platform/PictureModel.h"
#include "platform/Win32.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

namespace lapforge::platform {

namespace {

constexpr wchar_t ClassName[] = L"LapforgePictureBox";
// Newer than the MinGW headers; the value is fixed by the interface.
constexpr auto HighQualityCubic = static_cast<WICBitmapInterpolationMode>(4);
// Pictures larger than these are not decoded: at four bytes a pixel a 16000 x 16000 JPEG would
// need a gigabyte, twice over, for a box a few hundred pixels wide.
constexpr unsigned long long MaxPixels = 40'000'000;
constexpr DWORD MaxFileBytes = 64 << 20;

IWICImagingFactory* Factory() {
    static ComPtr<IWICImagingFactory> factory;
    if (!factory) CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.Put()));
    return factory.Get();
}

// Some scalers (Wine's) accept every mode yet only ever pick the nearest pixel. Shrinking a black
// and a white pixel into one tells the two kinds apart.
bool ScalerFilters(IWICImagingFactory* factory) {
    static const bool filters = [factory] {
        BYTE pair[] = {0, 0, 0, 255, 255, 255, 255, 255};
        ComPtr<IWICBitmap> source;
        ComPtr<IWICBitmapScaler> scaler;
        BYTE mixed[BytesPerPixel] = {};
        if (FAILED(factory->CreateBitmapFromMemory(2, 1, GUID_WICPixelFormat32bppPBGRA, sizeof pair, sizeof pair, pair,
                                                   source.Put())) ||
            FAILED(factory->CreateBitmapScaler(scaler.Put())) ||
            FAILED(scaler->Initialize(source.Get(), 1, 1, WICBitmapInterpolationModeFant)) ||
            FAILED(scaler->CopyPixels(nullptr, sizeof mixed, sizeof mixed, mixed)))
            return false;
        return mixed[0] > 32 && mixed[0] < 224;
    }();
    return filters;
}

// The file's bytes when it is a whole JPEG of a size worth reading.
std::optional<std::string> ReadWholeJpeg(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &file) || file.nFileSizeHigh != 0 ||
        file.nFileSizeLow > MaxFileBytes)
        return std::nullopt;
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const Failure&) {
        return std::nullopt;  // a picture that cannot be read is no failure of the program's
    }
    if (!IsWholeJpeg(bytes)) return std::nullopt;
    return bytes;
}

}  // namespace

struct PictureBox::State {
    ComPtr<IWICBitmap> picture;  // decoded once, so painting never touches the file
    UINT width = 0;
    UINT height = 0;
    GdiObject<HBITMAP> scaled;  // the picture at the size it is shown
    SIZE scaledSize{};
    bool takesClicks = false;
    PicturePoint lastClick;
    std::optional<PicturePoint> flag;
    COLORREF flagColour = 0;

    bool Load(const std::string& path);
    void Clear();
    void FitTo(SIZE box);
    HBITMAP Scale(SIZE size) const;
    void Paint(HWND box) const;
    void PaintFlag(HDC dc, SIZE client) const;
    // The place on the picture under a client pixel; nothing beside it or without a picture.
    std::optional<PicturePoint> At(HWND box, LPARAM clientPixel) const;
};

bool PictureBox::State::Load(const std::string& path) {
    Clear();
    IWICImagingFactory* factory = Factory();
    // Checked here, not left to the decoder: it would show a PNG named .jpg, and some decoders
    // fill the missing part of a cut-short JPEG with grey.
    std::optional<std::string> bytes = ReadWholeJpeg(path);
    if (!factory || !bytes) return false;
    // Released before the bytes they read from.
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    ComPtr<IWICBitmap> decoded;
    UINT frameWidth = 0, frameHeight = 0;
    if (FAILED(factory->CreateStream(stream.Put())) ||
        FAILED(
            stream->InitializeFromMemory(reinterpret_cast<BYTE*>(bytes->data()), static_cast<DWORD>(bytes->size()))) ||
        FAILED(
            factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Put())) ||
        FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(frame->GetSize(&frameWidth, &frameHeight)) ||
        static_cast<unsigned long long>(frameWidth) * frameHeight > MaxPixels ||
        FAILED(factory->CreateFormatConverter(converter.Put())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        // A file broken halfway fails here rather than in a later paint.
        FAILED(factory->CreateBitmapFromSource(converter.Get(), WICBitmapCacheOnLoad, decoded.Put())) ||
        FAILED(decoded->GetSize(&width, &height)) || width == 0 || height == 0) {
        Clear();
        return false;
    }
    picture = std::move(decoded);
    return true;
}

void PictureBox::State::Clear() {
    picture.Reset();
    width = height = 0;
    scaled.Reset();
    scaledSize = SIZE{};
    takesClicks = false;
    flag.reset();
}

void PictureBox::State::FitTo(SIZE box) {
    if (!picture || box.cx <= 0 || box.cy <= 0) return;
    const PixelSize fitted = FitInto(width, height, {box.cx, box.cy});
    const SIZE size{fitted.width, fitted.height};
    if (scaled && size.cx == scaledSize.cx && size.cy == scaledSize.cy) return;
    scaled.Reset(Scale(size));
    scaledSize = size;
}

HBITMAP PictureBox::State::Scale(SIZE size) const {
    IWICImagingFactory* factory = Factory();
    if (!factory) return nullptr;
    const UINT w = static_cast<UINT>(size.cx), h = static_cast<UINT>(size.cy);
    const UINT stride = w * BytesPerPixel;
    std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * h);
    if (ScalerFilters(factory)) {
        ComPtr<IWICBitmapScaler> scaler;
        if (FAILED(factory->CreateBitmapScaler(scaler.Put()))) return nullptr;
        // Fant is the sharpest for shrinking; the others stand in where a scaler lacks it.
        if (FAILED(scaler->Initialize(picture.Get(), w, h, WICBitmapInterpolationModeFant)) &&
            FAILED(scaler->Initialize(picture.Get(), w, h, HighQualityCubic)) &&
            FAILED(scaler->Initialize(picture.Get(), w, h, WICBitmapInterpolationModeLinear)))
            return nullptr;
        if (FAILED(scaler->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data())))
            return nullptr;
    } else {
        std::vector<BYTE> source(static_cast<std::size_t>(width) * height * BytesPerPixel);
        if (FAILED(
                picture->CopyPixels(nullptr, width * BytesPerPixel, static_cast<UINT>(source.size()), source.data())))
            return nullptr;
        pixels = AreaAverage(source, width, height, w, h);
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top-down, as WIC delivers the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) std::copy(pixels.begin(), pixels.end(), static_cast<BYTE*>(bits));
    return bitmap;
}

void PictureBox::State::Paint(HWND box) const {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(box, &ps);
    RECT client;
    GetClientRect(box, &client);
    if (client.right > 0 && client.bottom > 0) {
        // Drawn whole off screen and copied in one go: no flicker of background before picture.
        const MemoryDc buffer(CreateCompatibleDC(screen));
        const GdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen, client.right, client.bottom));
        const Selection onCanvas(buffer.Get(), canvas.Get());
        FillRect(buffer.Get(), &client, GetSysColorBrush(COLOR_BTNFACE));
        if (scaled) {
            const MemoryDc source(CreateCompatibleDC(screen));
            const Selection onSource(source.Get(), scaled.Get());
            const PlacedPicture placed = PlaceInto(width, height, {client.right, client.bottom});
            BitBlt(buffer.Get(), placed.left, placed.top, scaledSize.cx, scaledSize.cy, source.Get(), 0, 0, SRCCOPY);
            PaintFlag(buffer.Get(), SIZE{client.right, client.bottom});
        }
        BitBlt(screen, 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
    }
    EndPaint(box, &ps);
}

void PictureBox::State::PaintFlag(HDC dc, SIZE client) const {
    if (!flag) return;
    const BoxPixel foot = BoxPixelOf(width, height, {client.cx, client.cy}, *flag);
    // The maps' own flag, drawn at the scale the picture is shown at.
    const double k = static_cast<double>(scaledSize.cx) / width;
    const auto scaledBy = [k](double length) { return static_cast<int>(std::lround(length * k)); };
    const auto thick = [k](double length) { return std::max(1, static_cast<int>(std::lround(length * k))); };
    const COLORREF ink = RGB(38, 50, 56);
    const GdiObject<HPEN> pole(CreatePen(PS_SOLID, thick(2.4), ink));
    const GdiObject<HPEN> outline(CreatePen(PS_SOLID, 1, ink));
    // Inside the circle's edge, as the maps draw it.
    const GdiObject<HPEN> rim(CreatePen(PS_INSIDEFRAME, thick(2.5), RGB(255, 255, 255)));
    const GdiObject<HBRUSH> fill(CreateSolidBrush(flagColour));
    const Selection brush(dc, fill.Get());
    {
        const Selection pen(dc, pole.Get());
        MoveToEx(dc, foot.x, foot.y, nullptr);
        LineTo(dc, foot.x, foot.y - scaledBy(24));
    }
    {
        const Selection pen(dc, outline.Get());
        const POINT pennant[] = {{foot.x, foot.y - scaledBy(24)},
                                 {foot.x + scaledBy(17), foot.y - scaledBy(19)},
                                 {foot.x, foot.y - scaledBy(13)}};
        Polygon(dc, pennant, 3);
    }
    const Selection pen(dc, rim.Get());
    const int r = std::max(2, scaledBy(6.5));
    Ellipse(dc, foot.x - r, foot.y - r, foot.x + r + 1, foot.y + r + 1);
}

std::optional<PicturePoint> PictureBox::State::At(HWND box, LPARAM clientPixel) const {
    if (!picture) return std::nullopt;
    RECT client;
    GetClientRect(box, &client);
    // Signed: a pixel left of or above the client area is negative.
    const BoxPixel pixel{static_cast<short>(LOWORD(clientPixel)), static_cast<short>(HIWORD(clientPixel))};
    return PictureAt(width, height, {client.right, client.bottom}, pixel);
}

PictureBox::PictureBox() : state_(std::make_unique<State>()) {}
PictureBox::~PictureBox() = default;

void PictureBox::Create(HWND parent, int id, const RECT& rect) {
    CreateOwnClass(ClassName, nullptr, WS_EX_STATICEDGE, 0, parent, id, rect, "picture box");
}

bool PictureBox::Show(const std::string& path) {
    if (!Handle()) return false;
    const bool loaded = state_->Load(path);
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());  // shown now, also while a polling loop keeps the queue busy
    return loaded;
}

void PictureBox::TakeClicks(bool take) { state_->takesClicks = take; }

PicturePoint PictureBox::LastClick() const { return state_->lastClick; }

void PictureBox::ShowFlag(PicturePoint at, COLORREF colour) {
    state_->flag = at;
    state_->flagColour = colour;
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void PictureBox::ClearFlag() {
    state_->flag.reset();
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        if (!state_->takesClicks) break;
        if (const auto point = state_->At(Handle(), lParam)) {
            state_->lastClick = *point;
            NotifyParent(Clicked);
        }
        return 0;
    case WM_SETCURSOR:
        if (state_->takesClicks && LOWORD(lParam) == HTCLIENT) {
            POINT cursor;
            GetCursorPos(&cursor);
            ScreenToClient(Handle(), &cursor);
            if (state_->At(Handle(), MAKELPARAM(cursor.x, cursor.y))) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
        }
        break;
    case WM_SIZE:
        state_->FitTo(SIZE{LOWORD(lParam), HIWORD(lParam)});
        InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
    case WM_PAINT: {
        RECT client;
        GetClientRect(Handle(), &client);
        state_->FitTo(SIZE{client.right, client.bottom});
        state_->Paint(Handle());
        return 0;
    }
    }
    return PassOn(message, wParam, lParam);
}

}  // namespace lapforge::platform

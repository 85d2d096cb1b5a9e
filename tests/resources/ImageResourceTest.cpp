// Icons, tree bitmaps and status pictures: each loads at its size and shows
// what its users expect (colours, direction, mask background).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ScopedHandles.h"
#include "resource.h"

namespace {

const HMODULE kModule = GetModuleHandleW(nullptr);

struct Rgb {
    int r, g, b;
};

// A top-down 32-bit drawing surface whose pixels can be read directly.
class Surface {
public:
    Surface(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<const DWORD*>(bits);
        dc_.reset(CreateCompatibleDC(nullptr));
        old_ = SelectObject(dc_.get(), bitmap_.get());
        RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_.get(), &all, brush);
        DeleteObject(brush);
    }
    ~Surface() { SelectObject(dc_.get(), old_); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return dc_.get(); }
    Rgb At(int x, int y) const {
        GdiFlush();
        DWORD p = bits_[y * width_ + x];
        return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                static_cast<int>(p & 0xFF)};
    }

private:
    int width_, height_;
    scoped::Bitmap bitmap_;
    scoped::Dc dc_;
    HGDIOBJ old_ = nullptr;
    const DWORD* bits_ = nullptr;  // owned by bitmap_
};

bool IsGreen(Rgb c) {
    return c.g > 100 && c.g > c.r + 40 && c.g > c.b + 40;
}
bool IsRed(Rgb c) {
    return c.r > 110 && c.r > c.g + 60 && c.r > c.b + 60;
}
bool IsYellow(Rgb c) {
    return c.r > 180 && c.g > 150 && c.b < 110;
}
bool IsBlue(Rgb c) {
    return c.b > 110 && c.b > c.r + 40 && c.b > c.g + 15;
}
bool IsPurple(Rgb c) {
    return c.r > 50 && c.b > 70 && c.g + 40 < c.r && c.g + 40 < c.b;
}
bool IsDark(Rgb c) {
    return c.r < 90 && c.g < 90 && c.b < 130;
}

// The opaque pixels of an icon drawn at 32 x 32, with their colours.
struct IconPixels {
    std::vector<std::array<int, 2>> where;
    std::vector<Rgb> color;

    int Count(const std::function<bool(Rgb)>& test) const {
        int n = 0;
        for (const Rgb& c : color) {
            n += test(c) ? 1 : 0;
        }
        return n;
    }
    int CountIn(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (const auto& p : where) {
            n += p[0] >= x0 && p[0] < x1 && p[1] >= y0 && p[1] < y1 ? 1 : 0;
        }
        return n;
    }
    double Share(const std::function<bool(Rgb)>& test) const {
        return where.empty() ? 0.0 : static_cast<double>(Count(test)) / where.size();
    }
};

scoped::Icon LoadIconResource(int id, int size) {
    return scoped::Icon(static_cast<HICON>(
        LoadImageW(kModule, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

// Draws the icon over black and over white: pixels that come out the same on
// both are the icon's opaque ones.
IconPixels Render(int id) {
    IconPixels out;
    scoped::Icon icon = LoadIconResource(id, 32);
    if (!icon) {
        return out;
    }
    Surface onBlack(32, 32, RGB(0, 0, 0));
    Surface onWhite(32, 32, RGB(255, 255, 255));
    DrawIconEx(onBlack.dc(), 0, 0, icon.get(), 32, 32, 0, nullptr, DI_NORMAL);
    DrawIconEx(onWhite.dc(), 0, 0, icon.get(), 32, 32, 0, nullptr, DI_NORMAL);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            Rgb b = onBlack.At(x, y), w = onWhite.At(x, y);
            if (std::abs(b.r - w.r) + std::abs(b.g - w.g) + std::abs(b.b - w.b) < 24) {
                out.where.push_back({x, y});
                out.color.push_back(b);
            }
        }
    }
    return out;
}

// The image sizes listed in an icon group resource.
std::set<int> GroupIconSizes(int id, std::set<int>* bitCounts) {
    std::set<int> sizes;
    HRSRC info = FindResourceW(kModule, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));
    if (info == nullptr) {
        return sizes;
    }
    const auto* p = static_cast<const BYTE*>(LockResource(LoadResource(kModule, info)));
    WORD count = 0;
    std::memcpy(&count, p + 4, 2);
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = p + 6 + 14 * i;  // GRPICONDIRENTRY
        sizes.insert(entry[0] == 0 ? 256 : entry[0]);
        WORD bits = 0;
        std::memcpy(&bits, entry + 6, 2);
        bitCounts->insert(bits);
    }
    return sizes;
}

constexpr std::array<int, 9> kIcons = {IDR_MAINFRAME, IDI_UPLOAD,      IDI_DOWNLOAD,
                                       IDI_SAVE,      IDI_FORMAT_HELP, IDI_CLEAR,
                                       IDI_EXIT,      IDI_LOGIN,       IDI_LOGOUT};

}  // namespace

TEST(IconResourceTest, EveryIconHas32And16PixelImages) {
    for (int id : kIcons) {
        SCOPED_TRACE("icon " + std::to_string(id));
        std::set<int> bits;
        EXPECT_EQ(GroupIconSizes(id, &bits), (std::set<int>{16, 32}));
        EXPECT_EQ(bits, (std::set<int>{32}));

        // Loaded at its resource size, as the buttons load it.
        scoped::Icon icon(static_cast<HICON>(
            LoadImageW(kModule, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)));
        ASSERT_NE(icon, nullptr);
        ICONINFO ii{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &ii));
        scoped::Bitmap color(ii.hbmColor), mask(ii.hbmMask);
        EXPECT_EQ(ii.xHotspot * 2, 32u);
        EXPECT_EQ(ii.yHotspot * 2, 32u);
        BITMAP bm{};
        ASSERT_NE(GetObjectW(color.get(), sizeof(bm), &bm), 0);
        EXPECT_EQ(bm.bmWidth, 32);
        EXPECT_EQ(bm.bmHeight, 32);

        scoped::Icon small = LoadIconResource(id, 16);
        ASSERT_NE(small, nullptr);
        ICONINFO si{};
        ASSERT_TRUE(GetIconInfo(small.get(), &si));
        scoped::Bitmap smallColor(si.hbmColor), smallMask(si.hbmMask);
        EXPECT_EQ(si.xHotspot * 2, 16u);
    }
}

TEST(IconResourceTest, IconsShowTheirPictures) {
    IconPixels globe = Render(IDR_MAINFRAME);
    EXPECT_GT(globe.Share(IsBlue), 0.25) << "a blue globe";
    EXPECT_GT(globe.Share(IsGreen), 0.05) << "with green land";
    EXPECT_GT(globe.Count(IsDark), 20) << "and a dark plug";

    IconPixels right = Render(IDI_UPLOAD);
    EXPECT_GT(right.Share(IsGreen), 0.6);
    EXPECT_GT(right.CountIn(16, 0, 32, 32), right.CountIn(0, 0, 16, 32) * 5 / 4)
        << "the head is on the right";

    IconPixels left = Render(IDI_DOWNLOAD);
    EXPECT_GT(left.Share(IsGreen), 0.6);
    EXPECT_GT(left.CountIn(0, 0, 16, 32), left.CountIn(16, 0, 32, 32) * 5 / 4)
        << "the head is on the left";

    IconPixels floppy = Render(IDI_SAVE);
    EXPECT_GT(floppy.where.size(), 32u * 32u / 2) << "a square body";
    EXPECT_GT(floppy.Share(IsDark), 0.3);

    IconPixels question = Render(IDI_FORMAT_HELP);
    EXPECT_GT(question.Share(IsYellow), 0.4);

    IconPixels cross = Render(IDI_CLEAR);
    EXPECT_GT(cross.Share(IsRed), 0.5);
    EXPECT_GT(cross.CountIn(0, 0, 8, 8), 0) << "strokes reach the corners";
    EXPECT_GT(cross.CountIn(24, 24, 32, 32), 0);
    EXPECT_EQ(cross.CountIn(12, 0, 20, 6), 0) << "open between the arms";

    IconPixels exit = Render(IDI_EXIT);
    EXPECT_GT(exit.Share(IsRed), 0.4);
    int topLeft = exit.CountIn(0, 0, 16, 16), topRight = exit.CountIn(16, 0, 32, 16);
    int bottomRight = exit.CountIn(16, 16, 32, 32);
    EXPECT_GT(topLeft, 40) << "comes down from the top";
    EXPECT_LT(topRight, topLeft / 2) << "nothing up on the right";
    EXPECT_GT(bottomRight, topLeft) << "ends in a head at the bottom right";

    IconPixels login = Render(IDI_LOGIN);
    EXPECT_GT(login.Share(IsPurple), 0.6);
    EXPECT_LT(login.Share(IsRed), 0.02);

    IconPixels logout = Render(IDI_LOGOUT);
    EXPECT_GT(logout.Share(IsPurple), 0.2);
    EXPECT_GT(logout.Share(IsRed), 0.15) << "a red X over the sphere";
}

namespace {

struct TreeBitmap {
    int width = 0, height = 0, bitsPerPixel = 0;
    std::vector<std::vector<COLORREF>> rows;

    int Count(COLORREF c) const {
        int n = 0;
        for (const auto& row : rows) {
            for (COLORREF p : row) {
                n += p == c ? 1 : 0;
            }
        }
        return n;
    }
    std::set<COLORREF> Colors() const {
        std::set<COLORREF> all;
        for (const auto& row : rows) {
            all.insert(row.begin(), row.end());
        }
        return all;
    }
};

scoped::Bitmap LoadBitmapResource(int id) {
    return scoped::Bitmap(static_cast<HBITMAP>(
        LoadImageW(kModule, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

TreeBitmap ReadTreeBitmap(int id) {
    TreeBitmap out;
    scoped::Bitmap bmp = LoadBitmapResource(id);
    DIBSECTION dib{};
    if (!bmp || GetObjectW(bmp.get(), sizeof(dib), &dib) != sizeof(dib)) {
        return out;
    }
    out.width = dib.dsBm.bmWidth;
    out.height = dib.dsBm.bmHeight;
    out.bitsPerPixel = dib.dsBmih.biBitCount;
    scoped::Dc dc(CreateCompatibleDC(nullptr));
    scoped::Selection sel(dc.get(), bmp.get());
    for (int y = 0; y < out.height; ++y) {
        out.rows.emplace_back();
        for (int x = 0; x < out.width; ++x) {
            out.rows.back().push_back(GetPixel(dc.get(), x, y));
        }
    }
    return out;
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kPurple = RGB(128, 0, 128);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);

// The drawing sits in a black frame: along the middle row and column, the
// first and last pixels that are not background are black.
void ExpectBlackFrame(const TreeBitmap& bmp) {
    int mid = bmp.height / 2;
    std::vector<COLORREF> row = bmp.rows[mid], column;
    for (const auto& r : bmp.rows) {
        column.push_back(r[bmp.width / 2]);
    }
    for (const auto* line : {&row, &column}) {
        std::vector<COLORREF> ink;
        for (COLORREF p : *line) {
            if (p != kWhite) {
                ink.push_back(p);
            }
        }
        ASSERT_GE(ink.size(), 2u);
        EXPECT_EQ(ink.front(), kBlack);
        EXPECT_EQ(ink.back(), kBlack);
    }
}

}  // namespace

TEST(TreeBitmapTest, SixteenColorTwentyPixelImagesOnWhite) {
    for (int id : {IDB_TREE_BINARY, IDB_TREE_TEXT, IDB_TREE_GROUP}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        TreeBitmap bmp = ReadTreeBitmap(id);
        ASSERT_EQ(bmp.width, 20);
        ASSERT_EQ(bmp.height, 20);
        EXPECT_EQ(bmp.bitsPerPixel, 4);
        EXPECT_EQ(bmp.rows[0][0], kWhite);
        EXPECT_EQ(bmp.rows[0][19], kWhite);
        EXPECT_EQ(bmp.rows[19][0], kWhite);
        EXPECT_EQ(bmp.rows[19][19], kWhite);
    }
}

TEST(TreeBitmapTest, PicturesUseTheirColors) {
    TreeBitmap group = ReadTreeBitmap(IDB_TREE_GROUP);
    EXPECT_EQ(group.Colors(), (std::set<COLORREF>{kWhite, kPurple}));
    EXPECT_GT(group.Count(kPurple), 60);

    TreeBitmap text = ReadTreeBitmap(IDB_TREE_TEXT);
    ASSERT_EQ(text.rows.size(), 20u);
    EXPECT_EQ(text.Colors(), (std::set<COLORREF>{kWhite, kBlack, kNavy}));
    int rowsWithLines = 0;
    for (const auto& row : text.rows) {
        rowsWithLines += std::count(row.begin(), row.end(), kNavy) > 0 ? 1 : 0;
    }
    EXPECT_EQ(rowsWithLines, 5) << "five lines of text";
    ExpectBlackFrame(text);

    TreeBitmap binary = ReadTreeBitmap(IDB_TREE_BINARY);
    ASSERT_EQ(binary.rows.size(), 20u);
    EXPECT_EQ(binary.Colors(), (std::set<COLORREF>{kWhite, kBlack, kDarkRed}));
    EXPECT_GT(binary.Count(kDarkRed), 30);
    ExpectBlackFrame(binary);
}

TEST(TreeBitmapTest, WhiteIsMaskedOutInTheTreeImageList) {
    scoped::ImageList list(ImageList_Create(20, 20, ILC_COLOR4 | ILC_MASK, 3, 0));
    ASSERT_NE(list, nullptr);
    int index = 0;
    for (int id : {IDB_TREE_GROUP, IDB_TREE_TEXT, IDB_TREE_BINARY}) {
        scoped::Bitmap bmp = LoadBitmapResource(id);
        ASSERT_NE(bmp, nullptr);
        EXPECT_EQ(ImageList_AddMasked(list.get(), bmp.get(), RGB(255, 255, 255)), index++);
    }
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 3);

    // Drawn over cyan, the group image keeps its purple "M" and shows cyan
    // wherever the bitmap was white.
    const COLORREF cyan = RGB(0, 255, 255);
    Surface surface(20, 20, cyan);
    ASSERT_TRUE(ImageList_Draw(list.get(), 0, surface.dc(), 0, 0, ILD_TRANSPARENT));
    TreeBitmap group = ReadTreeBitmap(IDB_TREE_GROUP);
    int purple = 0, background = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            Rgb c = surface.At(x, y);
            COLORREF got = RGB(c.r, c.g, c.b);
            EXPECT_EQ(got, group.rows[y][x] == kWhite ? cyan : kPurple) << x << "," << y;
            purple += got == kPurple ? 1 : 0;
            background += got == cyan ? 1 : 0;
        }
    }
    EXPECT_EQ(purple, group.Count(kPurple));
    EXPECT_EQ(background, group.Count(kWhite));
}

namespace {

// The status pictures, decoded by GDI+ as the main window decodes them.
class StatusPictureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }

    static std::string Bytes(int id) {
        HRSRC info = FindResourceW(kModule, MAKEINTRESOURCEW(id), L"PNG");
        if (info == nullptr) {
            return {};
        }
        const auto* p = static_cast<const char*>(LockResource(LoadResource(kModule, info)));
        return std::string(p, SizeofResource(kModule, info));
    }

    struct Links {
        int boxRouterGreen = 0, boxRouterRed = 0, routerPcGreen = 0, routerPcRed = 0;
    };

    // Counts green and red pixels in the gaps between box and router and
    // between router and PC, where only the links are drawn.
    static Links ReadLinks(int id, UINT* width, UINT* height) {
        Links links;
        std::string png = Bytes(id);
        IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(png.data()), png.size());
        if (stream == nullptr) {
            return links;
        }
        Gdiplus::GpBitmap* bitmap = nullptr;
        Gdiplus::Status made = Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap);
        stream->Release();
        if (made != Gdiplus::Ok) {
            return links;
        }
        Gdiplus::DllExports::GdipGetImageWidth(bitmap, width);
        Gdiplus::DllExports::GdipGetImageHeight(bitmap, height);
        for (int y = 0; y < static_cast<int>(*height); ++y) {
            for (int x = 0; x < static_cast<int>(*width); ++x) {
                bool boxRouter = x >= 54 && x <= 66, routerPc = x >= 105 && x <= 117;
                if (!boxRouter && !routerPc) {
                    continue;
                }
                Gdiplus::ARGB argb = 0;
                Gdiplus::DllExports::GdipBitmapGetPixel(bitmap, x, y, &argb);
                Rgb c{static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
                      static_cast<int>(argb & 0xFF)};
                int green = IsGreen(c) ? 1 : 0, red = IsRed(c) && c.r > 180 ? 1 : 0;
                (boxRouter ? links.boxRouterGreen : links.routerPcGreen) += green;
                (boxRouter ? links.boxRouterRed : links.routerPcRed) += red;
            }
        }
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
        return links;
    }

    static ULONG_PTR token_;
};

ULONG_PTR StatusPictureTest::token_ = 0;

}  // namespace

TEST_F(StatusPictureTest, PngOf169By42) {
    for (int id : {IDR_STATUS_LOGGED_IN, IDR_STATUS_NO_NETWORK, IDR_STATUS_NETWORK}) {
        SCOPED_TRACE("picture " + std::to_string(id));
        std::string png = Bytes(id);
        ASSERT_GT(png.size(), 24u);
        EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(png.substr(12, 4), "IHDR");
        auto be32 = [&](std::size_t at) {
            return (static_cast<unsigned char>(png[at]) << 24) |
                   (static_cast<unsigned char>(png[at + 1]) << 16) |
                   (static_cast<unsigned char>(png[at + 2]) << 8) |
                   static_cast<unsigned char>(png[at + 3]);
        };
        EXPECT_EQ(be32(16), 169u);
        EXPECT_EQ(be32(20), 42u);
    }
}

TEST_F(StatusPictureTest, LinkColorsFollowTheState) {
    struct Case {
        int id;
        bool boxRouterGreen, routerPcGreen;
    };
    for (Case c :
         {Case{IDR_STATUS_LOGGED_IN, true, true}, Case{IDR_STATUS_NO_NETWORK, false, false},
          Case{IDR_STATUS_NETWORK, false, true}}) {
        SCOPED_TRACE("picture " + std::to_string(c.id));
        UINT width = 0, height = 0;
        Links links = ReadLinks(c.id, &width, &height);
        EXPECT_EQ(width, 169u);
        EXPECT_EQ(height, 42u);
        const int kLine = 13;  // pixels of one link row in a gap
        EXPECT_EQ(links.boxRouterGreen >= kLine, c.boxRouterGreen);
        EXPECT_EQ(links.boxRouterRed >= kLine, !c.boxRouterGreen);
        EXPECT_EQ(links.routerPcGreen >= kLine, c.routerPcGreen);
        EXPECT_EQ(links.routerPcRed >= kLine, !c.routerPcGreen);
    }
}

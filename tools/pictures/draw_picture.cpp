// Writes the add-in's pictures as Windows bitmaps: the 20 x 20 face of the
// "Send SMS" toolbar button, a speech bubble on the light grey of a classic
// toolbar, and the two 16 x 16 row icons of the recipient lists ("Envelope"
// and "Distribution", side by side, on the magenta key colour), in 256
// colours; the same bubble at 32 x 32 and 16 x 16 for the ribbon and the
// context menus, 32 bits a pixel with an alpha channel, as the ribbon wants.
// Each picture is drawn below as text, one character a pixel, so that a
// change to it reads as a change to this file; the .bmp files beside the
// add-in's sources are this program's output and a test keeps them the same.
// "icon" is the ribbon's bubble at 32 x 32 and 16 x 16 as one Windows icon
// file, for the setup program and the entries in Apps & features.
//
//   draw_picture send_sms|list_icons|ribbon_32|ribbon_16 <output.bmp>
//   draw_picture icon <output.ico>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Ink {
  char symbol;
  std::uint32_t rgb;          // 0xRRGGBB
  std::uint8_t alpha = 0xFF;  // in the 32-bit pictures
};

// The button's surround is light grey, not the magenta key colour: the face
// is opaque on every toolbar, as the button has always looked. The row icons
// stand on magenta, which the image list turns transparent.
constexpr std::array kInks{
    Ink{'.', 0xC0C0C0},        // toolbar grey
    Ink{':', 0x8497A6},        // outline blended into the grey, at the corners
    Ink{'o', 0x0E3B5C},        // outline, dark blue
    Ink{'+', 0x3E9CC4},        // top light on the bubble
    Ink{'#', 0x1479A6},        // bubble, blue-teal
    Ink{'W', 0xFFFFFF},        // white
    Ink{' ', 0xFF00FF, 0},     // the key colour: transparent
    Ink{'-', 0x0E3B5C, 0x60},  // outline, faint: the ribbon's smoothed edge
    Ink{'y', 0xF2E6B6},        // envelope paper
    Ink{'b', 0x6A5A2E},        // envelope fold, brown
    Ink{'g', 0x2E7D32},        // the second person, green
    Ink{'G', 0x66BB6A},        // the second person's light
};

constexpr std::string_view kSendSms[] = {
    "....................",  //
    "....................",  //
    "....................",  //
    "....:oooooooooo:....",  //
    "..:oo++++++++++oo:..",  //
    ".:o+############+o:.",  //
    ".o################o.",  //
    ".o################o.",  //
    ".o###WW##WW##WW###o.",  //
    ".o###WW##WW##WW###o.",  //
    ".o################o.",  //
    ".o################o.",  //
    ".:o##############o:.",  //
    "..:oo##########oo:..",  //
    "....o###ooooooo:....",  //
    "...o##o:............",  //
    "..o#o:..............",  //
    ".oo:................",  //
    "....................",  //
    "....................",  //
};

// "Envelope" (one mobile number) on the left, "Distribution" (a list still to
// be expanded) on the right.
constexpr std::string_view kListIcons[] = {
    "                                ",  //
    "                                ",  //
    "                     ooo        ",  //
    " oooooooooooooo     o+++o       ",  //
    " obyyyyyyyyyyybo    o###o  ooo  ",  //
    " oybyyyyyyyyybyo    o###o oGGGo ",  //
    " oyybyyyyyyybyyo     ooo  ogggo ",  //
    " oyyybyyyyybyyyo   oo+++oo ooo  ",  //
    " oyyyybbbbbyyyyo  o+#####oGGGGo ",  //
    " oyyyyyyyyyyyyyo  o######ogggggo",  //
    " oyyyyyyyyyyyyyo  o######ogggggo",  //
    " oyyyyyyyyyyyyyo  o######ogggggo",  //
    " oooooooooooooo   oooooooooooooo",  //
    "                                ",  //
    "                                ",  //
    "                                ",  //
};

// The ribbon's large button and the context menus' entry: the toolbar's
// bubble on nothing, its edge smoothed by faint outline pixels.
constexpr std::string_view kRibbon32[] = {
    "                                ",  //
    "                                ",  //
    "                                ",  //
    "                                ",  //
    "     ----------------------     ",  //
    "   -oooooooooooooooooooooooo-   ",  //
    "  -oooooooooooooooooooooooooo-  ",  //
    "  oo++++++++++++++++++++++++oo  ",  //
    " -oo########################oo- ",  //
    " oo##########################oo ",  //
    " oo##########################oo ",  //
    " oo####WWWW###WWWW###WWWW####oo ",  //
    " oo####WWWW###WWWW###WWWW####oo ",  //
    " oo####WWWW###WWWW###WWWW####oo ",  //
    " oo####WWWW###WWWW###WWWW####oo ",  //
    " oo##########################oo ",  //
    " oo##########################oo ",  //
    " -oo########################oo- ",  //
    " -oo########################oo- ",  //
    "  -ooo####################ooo-  ",  //
    "  -oo######################oo-  ",  //
    "   -ooo####oooooooooooooooo-    ",  //
    "    -oo###o-                    ",  //
    "    oo###o-                     ",  //
    "   -o##oo-                      ",  //
    "   oo#o-                        ",  //
    "  -o#o-                         ",  //
    "  ooo-                          ",  //
    "  --                            ",  //
    "                                ",  //
    "                                ",  //
    "                                ",  //
};

constexpr std::string_view kRibbon16[] = {
    "                ",  //
    "                ",  //
    "  -oooooooooo-  ",  //
    " -o++++++++++o- ",  //
    " o############o ",  //
    " o############o ",  //
    " o##WW#WW#WW##o ",  //
    " o##WW#WW#WW##o ",  //
    " o############o ",  //
    " -o##########o- ",  //
    "  -oo##ooooooo- ",  //
    "   o#o-         ",  //
    "  o#o-          ",  //
    " oo-            ",  //
    "                ",  //
    "                ",  //
};

struct Picture {
  std::string_view name;
  int width;
  std::span<const std::string_view> rows;
  int bits = 8;  // 8: palette; 32: blue, green, red, alpha
};

constexpr Picture kPictures[] = {
    {"send_sms", 20, kSendSms},
    {"list_icons", 32, kListIcons},
    {"ribbon_32", 32, kRibbon32, 32},
    {"ribbon_16", 16, kRibbon16, 32},
};

// The inks first, then a 6 x 6 x 6 colour cube and grey steps until the
// table has its 256 entries, none twice: magenta (the key colour) is among
// them, so GDI matches the key exactly and to no pixel of the picture.
std::vector<std::uint32_t> Palette() {
  std::vector<std::uint32_t> palette;
  const auto add = [&palette](std::uint32_t rgb) {
    if (std::find(palette.begin(), palette.end(), rgb) == palette.end()) palette.push_back(rgb);
  };
  for (const Ink& ink : kInks) add(ink.rgb);
  for (std::uint32_t red = 0; red <= 0xFF; red += 0x33) {
    for (std::uint32_t green = 0; green <= 0xFF; green += 0x33) {
      for (std::uint32_t blue = 0; blue <= 0xFF; blue += 0x33) add(red << 16 | green << 8 | blue);
    }
  }
  for (std::uint32_t grey = 0x08; palette.size() < 256; grey += 0x08) {
    add(grey << 16 | grey << 8 | grey);
  }
  if (palette.size() != 256) throw std::logic_error("the palette needs 256 colours");
  return palette;
}

const Ink& InkOf(char symbol) {
  for (const Ink& ink : kInks) {
    if (ink.symbol == symbol) return ink;
  }
  throw std::logic_error(std::string("no ink for '") + symbol + "'");
}

std::uint8_t PaletteIndex(char symbol, const std::vector<std::uint32_t>& palette) {
  const Ink& ink = InkOf(symbol);
  return static_cast<std::uint8_t>(std::find(palette.begin(), palette.end(), ink.rgb) -
                                   palette.begin());
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> Bitmap(const Picture& picture) {
  const bool paletted = picture.bits == 8;
  const std::vector<std::uint32_t> palette = paletted ? Palette() : std::vector<std::uint32_t>{};
  const auto width = static_cast<std::uint32_t>(picture.width);
  const auto height = static_cast<std::uint32_t>(picture.rows.size());
  if (paletted && width % 4 != 0) throw std::logic_error("rows must need no padding");
  constexpr std::uint32_t kHeaderSize = 40;
  const auto colours = static_cast<std::uint32_t>(palette.size());
  const std::uint32_t kRowsOffset = 14 + kHeaderSize + colours * 4;
  const std::uint32_t kImageSize = width * height * static_cast<std::uint32_t>(picture.bits) / 8;
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put(out, kRowsOffset + kImageSize, 4);
  Put(out, 0, 4);
  Put(out, kRowsOffset, 4);
  Put(out, kHeaderSize, 4);
  Put(out, width, 4);
  Put(out, height, 4);  // positive: rows bottom-up
  Put(out, 1, 2);       // planes
  Put(out, static_cast<std::uint32_t>(picture.bits), 2);
  Put(out, 0, 4);  // uncompressed
  Put(out, kImageSize, 4);
  Put(out, 3780, 4);  // 96 dots per inch, in pixels per metre
  Put(out, 3780, 4);
  Put(out, colours, 4);                                      // colours used
  Put(out, 0, 4);                                            // all of them important
  for (const std::uint32_t rgb : palette) Put(out, rgb, 4);  // blue, green, red, 0
  for (auto row = picture.rows.rbegin(); row != picture.rows.rend(); ++row) {
    if (row->size() != width) throw std::logic_error("a picture row has the wrong width");
    for (const char symbol : *row) {
      if (paletted) {
        out.push_back(PaletteIndex(symbol, palette));
        continue;
      }
      // Straight alpha; a transparent pixel carries no colour.
      const Ink& ink = InkOf(symbol);
      Put(out, ink.alpha == 0 ? 0 : (std::uint32_t{ink.alpha} << 24 | ink.rgb), 4);
    }
  }
  return out;
}

const Picture& PictureNamed(std::string_view name) {
  for (const Picture& picture : kPictures) {
    if (picture.name == name) return picture;
  }
  throw std::logic_error("no picture named " + std::string(name));
}

// An icon file of 32-bit pictures with alpha, each image a DIB of twice the
// height: the colour rows, then the 1-bit mask (set where fully transparent).
std::vector<std::uint8_t> Icon(std::span<const Picture* const> pictures) {
  std::vector<std::vector<std::uint8_t>> images;
  for (const Picture* picture : pictures) {
    const auto width = static_cast<std::uint32_t>(picture->width);
    const auto height = static_cast<std::uint32_t>(picture->rows.size());
    const std::uint32_t mask_stride = (width + 31) / 32 * 4;
    std::vector<std::uint8_t> image;
    Put(image, 40, 4);
    Put(image, width, 4);
    Put(image, height * 2, 4);
    Put(image, 1, 2);
    Put(image, 32, 2);
    Put(image, 0, 4);
    Put(image, width * height * 4 + mask_stride * height, 4);
    for (int i = 0; i < 4; ++i) Put(image, 0, 4);
    std::vector<std::uint8_t> mask;
    for (auto row = picture->rows.rbegin(); row != picture->rows.rend(); ++row) {
      if (row->size() != width) throw std::logic_error("a picture row has the wrong width");
      std::vector<std::uint8_t> mask_row(mask_stride, 0);
      for (std::uint32_t x = 0; x < width; ++x) {
        const Ink& ink = InkOf((*row)[x]);
        Put(image, ink.alpha == 0 ? 0 : (std::uint32_t{ink.alpha} << 24 | ink.rgb), 4);
        if (ink.alpha == 0) mask_row[x / 8] |= static_cast<std::uint8_t>(0x80U >> (x % 8));
      }
      mask.insert(mask.end(), mask_row.begin(), mask_row.end());
    }
    image.insert(image.end(), mask.begin(), mask.end());
    images.push_back(std::move(image));
  }
  std::vector<std::uint8_t> out;
  Put(out, 0, 2);
  Put(out, 1, 2);  // an icon
  Put(out, static_cast<std::uint32_t>(images.size()), 2);
  auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(pictures[i]->width));
    out.push_back(static_cast<std::uint8_t>(pictures[i]->rows.size()));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put(out, 1, 2);   // planes
    Put(out, 32, 2);  // bits a pixel
    Put(out, static_cast<std::uint32_t>(images[i].size()), 4);
    Put(out, offset, 4);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: draw_picture send_sms|list_icons|ribbon_32|ribbon_16 <output.bmp>\n"
                 "       draw_picture icon <output.ico>\n";
    return 2;
  }
  const std::string_view name = argv[1];
  const auto picture = std::find_if(std::begin(kPictures), std::end(kPictures),
                                    [&](const Picture& p) { return p.name == name; });
  if (picture == std::end(kPictures) && name != "icon") {
    std::cerr << "draw_picture: no picture named " << argv[1] << '\n';
    return 2;
  }
  try {
    const Picture* const icon_pictures[] = {&PictureNamed("ribbon_32"), &PictureNamed("ribbon_16")};
    const std::vector<std::uint8_t> bitmap =
        name == "icon" ? Icon(icon_pictures) : Bitmap(*picture);
    std::ofstream file(argv[2], std::ios::binary);
    file.write(reinterpret_cast<const char*>(bitmap.data()),
               static_cast<std::streamsize>(bitmap.size()));
    if (!file.flush()) {
      std::cerr << "draw_picture: cannot write " << argv[2] << '\n';
      return 1;
    }
  } catch (const std::exception& error) {
    std::cerr << "draw_picture: " << error.what() << '\n';
    return 1;
  }
  return 0;
}

// What the add-in keeps of the user's clipboard around the face paste: each
// piece of content once, in the form the program that copied it gave.

#include "host/clipboard_formats.h"

#include <gtest/gtest.h>

#include <vector>

namespace parvel::host {
namespace {

using namespace clipboard_format;

constexpr unsigned kLocale = 16;
constexpr unsigned kHdrop = 15;
constexpr unsigned kHtml = 0xC0A1;  // a registered format ("HTML Format")
constexpr unsigned kRtf = 0xC0B2;

TEST(ClipboardFormats, CopiedTextIsKeptOnceInTheFormTheProgramGave) {
  // Notepad gives Unicode text; Windows offers the ANSI and OEM forms after it.
  const std::vector<unsigned> notepad = {kUnicodeText, kLocale, kText, kOemText};
  EXPECT_EQ(FormatsToKeep(notepad), (std::vector<KeptFormat>{{kUnicodeText, KeptAs::MemoryBlock},
                                                             {kLocale, KeptAs::MemoryBlock}}));
  // An old program gives ANSI text: that is what comes back.
  const std::vector<unsigned> ansi = {kText, kLocale, kOemText, kUnicodeText};
  EXPECT_EQ(FormatsToKeep(ansi), (std::vector<KeptFormat>{{kText, KeptAs::MemoryBlock},
                                                          {kLocale, KeptAs::MemoryBlock}}));
}

TEST(ClipboardFormats, ACopiedImageIsKeptAsTheDibOrTheBitmapItCameAs) {
  // A picture from a paint program, with its registered formats.
  const std::vector<unsigned> paint = {kDib, kHtml, kBitmap, kDibV5};
  EXPECT_EQ(FormatsToKeep(paint),
            (std::vector<KeptFormat>{{kDib, KeptAs::MemoryBlock}, {kHtml, KeptAs::MemoryBlock}}));
  // Print Screen gives a bitmap handle; the DIB forms are made from it.
  const std::vector<unsigned> screen = {kBitmap, kDib, kDibV5};
  EXPECT_EQ(FormatsToKeep(screen), (std::vector<KeptFormat>{{kBitmap, KeptAs::Bitmap}}));
}

TEST(ClipboardFormats, AWordProcessorsFormatsAreAllKept) {
  const std::vector<unsigned> word = {kRtf,  kHtml,    kUnicodeText, kEnhMetafile, kMetafilePict,
                                      kText, kOemText, kLocale,      kHdrop};
  EXPECT_EQ(FormatsToKeep(word), (std::vector<KeptFormat>{{kRtf, KeptAs::MemoryBlock},
                                                          {kHtml, KeptAs::MemoryBlock},
                                                          {kUnicodeText, KeptAs::MemoryBlock},
                                                          {kEnhMetafile, KeptAs::EnhMetafile},
                                                          {kLocale, KeptAs::MemoryBlock},
                                                          {kHdrop, KeptAs::MemoryBlock}}));
  // An old metafile picture holds a handle, not data: the enhanced form that
  // Windows makes from it is kept in its place.
  const std::vector<unsigned> old = {kMetafilePict, kEnhMetafile};
  EXPECT_EQ(FormatsToKeep(old), (std::vector<KeptFormat>{{kEnhMetafile, KeptAs::EnhMetafile}}));
}

TEST(ClipboardFormats, WhatIsNoDataIsNotKept) {
  const std::vector<unsigned> offered = {
      kOwnerDisplay, kPalette, kDspBitmap, kDspEnhMetafile, kDspMetafilePict,
      kPrivateFirst, 0x2FF,    0x300,      kGdiObjectLast,  0};
  EXPECT_TRUE(FormatsToKeep(offered).empty());
  const std::vector<unsigned> twice = {kHtml, kHtml};
  EXPECT_EQ(FormatsToKeep(twice).size(), 1U);
}

}  // namespace
}  // namespace parvel::host

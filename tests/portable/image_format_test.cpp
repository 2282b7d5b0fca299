#include "capture/image_format.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ImageFormatTest, TableInIndexOrder) {
  struct Row {
    const wchar_t* name;
    const wchar_t* extension;
    const wchar_t* mime;
  };
  const Row expected[] = {
      {L"Bmp - Windows Bitmap Format", L".bmp", L"image/bmp"},
      {L"Jpeg - Joint Photographic Experts Group Format", L".jpg", L"image/jpeg"},
      {L"Gif - Graphics interchange Format", L".gif", L"image/gif"},
      {L"Tiff - Tagged Image File Format", L".tiff", L"image/tiff"},
      {L"Png - Portable Network Graphics Format", L".png", L"image/png"},
  };
  ASSERT_EQ(ImageFormat::all().size(), std::size(expected));
  for (int32_t i = 0; i < ImageFormat::kCount; ++i) {
    SCOPED_TRACE(i);
    const ImageFormat& format = ImageFormat::byIndex(i);
    EXPECT_EQ(format.displayName, expected[i].name);
    EXPECT_EQ(format.extension, expected[i].extension);
    EXPECT_EQ(format.mimeType, expected[i].mime);
    EXPECT_EQ(&ImageFormat::all()[i], &format);
  }
}

TEST(ImageFormatTest, IndexOutsideTableMeansPng) {
  for (int32_t index : {5, 7, 9, -1, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(ImageFormat::byIndex(index).extension, L".png");
    EXPECT_EQ(ImageFormat::byIndex(index).mimeType, L"image/png");
  }
}

// The texts picture acceptance and the logo payload show, exactly as users
// see them.  "%d" places take the numbers in the order named.
#pragma once

namespace varlin::text {

inline constexpr char kChooseJpegOrBmp[] = "You must choose a jpeg or bmp file!";
inline constexpr char kInvalidBitmap[] = "Invalid bitmap file!";
inline constexpr char kOnly256Colours[] = "Only support 256 colors bitmap!";
inline constexpr char kBitmapTooWide[] =
    "Sorry, we only support 640*480 or smaller bitmap picture.\nThis picture's width is %d.";
inline constexpr char kBitmapTooHigh[] =
    "Sorry, we only support 640*480 or smaller bitmap picture.\nThis picture's height is %d";
inline constexpr char kInvalidJpeg[] = "Invalid JPEG file!";
inline constexpr char kUnsupportedJpeg[] = "Sorry, we do not support JPEG files of this type!";
inline constexpr char kJpegTooLarge[] =
    "The JPEG Picture Size should be less than \n800*600 pixels.This picture is %d * %d .";
inline constexpr char kOnlyJpegOrBitmap[] = "Only support jpeg or bitmap picture.";
inline constexpr char kTooLargeFor640x480[] =
    "Under 640*480 mode, Picture Size\nshould be less than 640*480 pixels.\nThis picture is %d * %d .";

inline constexpr char kBitmapOpenError[] = "Bitmap file open error!";
inline constexpr char kPictureMissing[] = "Picture file is not existed!";
inline constexpr char kNotAJpegPrefix[] = "File ";
inline constexpr char kNotAJpegSuffix[] = " is not a valid jpeg file!";
inline constexpr char kInvalidPicture[] = "Invalid picture file";
inline constexpr char kCannotCreatePrefix[] = "Can not create file ";

}  // namespace varlin::text

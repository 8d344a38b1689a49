// A user's picture turned into an image's small logo, in the form and size
// the image's own small logo has: scaled to fit with its shape kept and
// centred on black, as a full-screen stock logo is.
#pragma once

#include "logo/ColourReduction.h"
#include "logo/SmallLogo.h"
#include "logo/SmallLogoMember.h"
#include "logo/StockLogo.h"
#include "platform/PictureLoaderPort.h"
#include "platform/support/Files.h"

namespace varlin {

// The classic small logo of `old`'s cells showing the picture.  Each cell
// takes the one of the 15 non-black standard colours that best represents
// its pixels (the least squared distance from the mixes of that colour and
// black that its lit and dark pixels make together; among equals, from the
// colour or black alone), and each of its pixels is lit where, with the
// error of the pixels before it in the cell passed on (Floyd-Steinberg,
// inside the cell only, as a cell shows one colour only), it is nearer that
// colour than black.  A cell with nothing lit keeps the attribute `old` had
// there; the icon is `old`'s.
ClassicSmallLogo ConvertToClassicSmallLogo(const RgbImage& picture, const ClassicSmallLogo& old);

// A new small logo: its member data and the picture the board shows.
struct NewSmallLogo {
    Bytes data;
    StockPicture shown;
    bool stock = false;  // in the stock format
};

// The picture in the form and size of `old`, which must be readable.  A
// stock one follows the colour rules of full-screen stock logos: a palette
// chosen for the picture where `old` carries a palette block, the standard
// colours where it has none; `dithering` is for the stock form only.
NewSmallLogo MakeSmallLogo(const RgbImage& picture, const SmallLogoMember& old, Dithering dithering);

}  // namespace varlin

#pragma once

#include <array>

// What the offers window advertises: six products of Corvane, the maker of this
// program, and the fourteen web addresses its pictures and buttons open. All addresses
// lie on the maker's own domain.
namespace LinkSlots {
inline constexpr char Offer1PageLink[] = "https://www.corvane.example/products/audio-editor.html";
inline constexpr char Offer2PageLink[] = "https://www.corvane.example/products/sound-recorder-plus.html";
inline constexpr char Offer3PageLink[] = "https://www.corvane.example/products/video-to-mp3-extractor.html";
inline constexpr char Offer4PageLink[] = "https://www.corvane.example/products/mp3-splitter.html";
inline constexpr char Offer5PageLink[] = "https://www.corvane.example/products/tag-organizer.html";
inline constexpr char Offer6PageLink[] = "https://www.corvane.example/products/audio-joiner.html";
inline constexpr char Offer1SetupLink[] = "https://www.corvane.example/download/audio-editor-setup.exe";
inline constexpr char Offer2SetupLink[] = "https://www.corvane.example/download/sound-recorder-plus-setup.exe";
inline constexpr char Offer3SetupLink[] = "https://www.corvane.example/download/video-to-mp3-extractor-setup.exe";
inline constexpr char Offer4SetupLink[] = "https://www.corvane.example/download/mp3-splitter-setup.exe";
inline constexpr char Offer5SetupLink[] = "https://www.corvane.example/download/tag-organizer-setup.exe";
inline constexpr char Offer6SetupLink[] = "https://www.corvane.example/download/audio-joiner-setup.exe";
inline constexpr char Offer5PictureLink[] = "https://www.corvane.example/products/tag-organizer-screenshots.html";
inline constexpr char StoreLink[] = "https://shop.corvane.example/corvane-software.html";
} // namespace LinkSlots

struct Offer {
    const char *title;       // one line
    const char *description; // lines ended by CR LF; long lines rely on word wrap
    const char *picture;     // the product's box, a resource
    const char *pageLink;    // opened by Read more
    const char *setupLink;   // opened by Download: the demo's setup program
    const char *pictureLink; // opened by the picture
};

// The products of panels 1 to 6.
extern const std::array<Offer, 6> offers;

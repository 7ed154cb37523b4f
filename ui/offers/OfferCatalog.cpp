#include "OfferCatalog.h"

const std::array<Offer, 6> offers = {{
    {"Audio Editor",
     "Cut, copy, paste and mix your recordings on a clear waveform view, then add "
     "fades, normalize the level and remove clicks, hiss and hum with a single press "
     "of a button.\r\n"
     "Audio Editor opens and saves MP3, WAV, WMA, OGG and AMR files, so you can tidy "
     "up a ringtone before you convert it, or trim a long interview down to its best "
     "minutes in a few seconds.\r\n"
     "Undo reaches back to the very first change, and each effect plays as a preview "
     "before anything is written to disk.\r\n",
     ":/offers/Offer1.jpg",
     LinkSlots::Offer1PageLink,
     LinkSlots::Offer1SetupLink,
     LinkSlots::Offer1PageLink},
    {"Sound Recorder Plus",
     "Record anything your computer can hear: the microphone, the line input, a web "
     "radio stream, a cassette deck or the sound of a video call.\r\n"
     "Sound Recorder Plus starts and stops by itself at the times you set, skips the "
     "silence between songs and splits a long recording into one file for every song "
     "it finds.\r\n"
     "Recordings go straight to MP3, WAV or AMR at the quality you choose, with the "
     "date and time in the file name, so nothing is ever overwritten by mistake and "
     "every session is easy to find.\r\n",
     ":/offers/Offer2.jpg",
     LinkSlots::Offer2PageLink,
     LinkSlots::Offer2SetupLink,
     LinkSlots::Offer2PageLink},
    {"Video to MP3 Extractor",
     "Keep the soundtrack of your favourite clips and throw the pictures away. Video "
     "to MP3 Extractor reads AVI, MPEG, WMV, MOV, FLV and MP4 files and writes their "
     "sound as MP3, WAV or AMR, ready for your player or your phone. Pick one file or "
     "an entire folder, choose the quality, and press Start: the program works "
     "through the list in the background while you go on with your day. With the "
     "preview, cut out the part you want while you listen, so that only the chorus of "
     "a music video becomes your next ringtone, and let the built-in level control "
     "make quiet clips just as loud as the rest of the songs on your phone.\r\n",
     ":/offers/Offer3.jpg",
     LinkSlots::Offer3PageLink,
     LinkSlots::Offer3SetupLink,
     LinkSlots::Offer3PageLink},
    {"MP3 Splitter",
     "Split big MP3 files into smaller pieces without decoding them, so the sound "
     "stays exactly as it was and the work is done in seconds, even for recordings "
     "that last for hours.\r\n"
     "MP3 Splitter cuts at the times you type, into parts of equal length or size, or "
     "automatically at the silences between the songs of a recorded album.\r\n"
     "The tags of the original file are copied to every part, and each part gets its "
     "own track number and a title with that number.\r\n",
     ":/offers/Offer4.jpg",
     LinkSlots::Offer4PageLink,
     LinkSlots::Offer4SetupLink,
     LinkSlots::Offer4PageLink},
    {"Tag Organizer",
     "Put your music collection in order at last. Tag Organizer fills in missing "
     "artists, titles, albums and years, renames files from their tags or tags from "
     "their file names, and sorts everything into folders by artist and album.\r\n"
     "Edit the tags of hundreds of files all at once, add cover pictures and lyrics, "
     "and find the songs you have twice, even when their names differ.\r\n"
     "Works well with MP3, WMA, OGG, FLAC and AAC files, and with every player that "
     "reads standard tags.\r\n",
     ":/offers/Offer5.jpg",
     LinkSlots::Offer5PageLink,
     LinkSlots::Offer5SetupLink,
     LinkSlots::Offer5PictureLink},
    {"Audio Joiner",
     "Join many audio files into one: a mix for a party, an audio book in one piece, "
     "or a ringtone made from your two favourite song choruses.\r\n"
     "Audio Joiner takes MP3, WAV, WMA and OGG files in any order you drag them to, "
     "adds a short fade or a pause between them if you like, and writes one MP3 or "
     "WAV file.\r\n"
     "The sound is converted no more often than it has to be, so the joined file "
     "sounds every bit as good as the separate parts it was put together from.\r\n",
     ":/offers/Offer6.jpg",
     LinkSlots::Offer6PageLink,
     LinkSlots::Offer6SetupLink,
     LinkSlots::Offer6PageLink},
}};

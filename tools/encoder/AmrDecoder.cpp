// Wraps Decoder_Interface_* of opencore-amrnb.

#include "AmrDecoder.h"

#include <opencore-amrnb/interf_dec.h>


void AmrDecoder::Exit::operator()(void *state) const
{
    Decoder_Interface_exit(state);
}

audio::Result<AmrDecoder> AmrDecoder::create()
{
    void *state = Decoder_Interface_init();
    if (!state)
        return audio::Error{"cannot start the AMR decoder"};
    return AmrDecoder(state);
}

const AmrDecoder::Samples &AmrDecoder::decode(std::span<const std::uint8_t> frame)
{
    // The library reads the frame type from the header byte and as many bytes as that
    // type has, which the reader has made sure are there.
    Decoder_Interface_Decode(m_state.get(), frame.data(), m_samples.data(), 0);
    return m_samples;
}

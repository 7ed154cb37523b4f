// Wraps Encoder_Interface_* of opencore-amrnb.

#include "AmrEncoder.h"

#include <opencore-amrnb/interf_enc.h>


void AmrEncoder::Exit::operator()(void *state) const
{
    Encoder_Interface_exit(state);
}

audio::Result<AmrEncoder> AmrEncoder::create()
{
    void *state = Encoder_Interface_init(0);
    if (!state)
        return audio::Error{"cannot start the AMR encoder"};
    return AmrEncoder(state);
}

audio::Result<std::span<const std::uint8_t>> AmrEncoder::encode(Samples samples, int mode)
{
    // The library writes at most one MR122 frame and leaves the input alone.
    const int bytes = Encoder_Interface_Encode(m_state.get(), static_cast<Mode>(mode), samples.data(),
                                               m_frame.data(), 0);
    if (bytes <= 0 || static_cast<std::size_t>(bytes) > m_frame.size())
        return audio::Error{"the AMR encoder failed on a frame"};
    return std::span<const std::uint8_t>(m_frame.data(), static_cast<std::size_t>(bytes));
}

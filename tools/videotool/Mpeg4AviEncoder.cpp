#include "videotool/Mpeg4AviEncoder.h"

#include "soundtool/SoundWriter.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr int kIoBufferBytes = 4096;
constexpr int64_t kPictureBitRate = 1200000;

} // namespace

std::vector<uint8_t> Mpeg4AviEncoder::Encode(const RawVideo& video, std::string& error) {
    Mpeg4AviEncoder encoder(video);
    if (!encoder.Open(error))
        return {};
    for (std::size_t i = 0; i < video.frames.size(); ++i)
        if (!encoder.WritePicture(i) || !encoder.WriteSound(i)) {
            error = "encoding failed at frame " + std::to_string(i);
            return {};
        }
    if (!encoder.Finish()) {
        error = "the file could not be finished";
        return {};
    }
    return std::move(encoder.output.bytes);
}

Mpeg4AviEncoder::~Mpeg4AviEncoder() {
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&pictureCodec);
    avcodec_free_context(&soundCodec);
    if (io)
        av_freep(&io->buffer);
    avio_context_free(&io);
    avformat_free_context(format);
}

int Mpeg4AviEncoder::WriteBytes(void* opaque, uint8_t* data, int size) {
    auto& out = *static_cast<Output*>(opaque);
    const std::size_t end = out.position + static_cast<std::size_t>(size);
    if (out.bytes.size() < end)
        out.bytes.resize(end);
    std::memcpy(out.bytes.data() + out.position, data, static_cast<std::size_t>(size));
    out.position = end;
    return size;
}

int64_t Mpeg4AviEncoder::SeekBytes(void* opaque, int64_t offset, int whence) {
    auto& out = *static_cast<Output*>(opaque);
    const auto size = static_cast<int64_t>(out.bytes.size());
    int64_t target = offset;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size;
    case SEEK_CUR:
        target += static_cast<int64_t>(out.position);
        break;
    case SEEK_END:
        target += size;
        break;
    default:
        break;
    }
    if (target < 0)
        return AVERROR(EINVAL);
    out.position = static_cast<std::size_t>(target);
    return target;
}

bool Mpeg4AviEncoder::Open(std::string& error) {
    if (video.width <= 0 || video.height <= 0 || video.framesPerSecond == 0 || video.frames.empty()) {
        error = "the video has no pictures";
        return false;
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    io = buffer ? avio_alloc_context(buffer, kIoBufferBytes, 1, &output, nullptr, WriteBytes, SeekBytes)
                : nullptr;
    if (!io)
        av_free(buffer);
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    if (!io || !frame || !packet || avformat_alloc_output_context2(&format, nullptr, "avi", nullptr) < 0) {
        error = "out of memory";
        return false;
    }
    format->pb = io;
    format->flags |= AVFMT_FLAG_CUSTOM_IO | AVFMT_FLAG_BITEXACT;
    if (!AddPictureStream() || (!video.sound.empty() && !AddSoundStream()) ||
        avformat_write_header(format, nullptr) < 0) {
        error = "the encoders could not be set up";
        return false;
    }
    return true;
}

AVCodecContext* Mpeg4AviEncoder::AddStream(int codecId, AVStream*& stream) {
    const AVCodec* codec = avcodec_find_encoder(static_cast<AVCodecID>(codecId));
    stream = codec ? avformat_new_stream(format, nullptr) : nullptr;
    AVCodecContext* context = stream ? avcodec_alloc_context3(codec) : nullptr;
    if (context) {
        context->thread_count = 1;
        context->flags |= AV_CODEC_FLAG_BITEXACT;
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    return context;
}

bool Mpeg4AviEncoder::AddPictureStream() {
    pictureCodec = AddStream(AV_CODEC_ID_MPEG4, pictureStream);
    if (!pictureCodec)
        return false;
    pictureCodec->width = video.width;
    pictureCodec->height = video.height;
    pictureCodec->time_base = AVRational{1, static_cast<int>(video.framesPerSecond)};
    pictureCodec->framerate = AVRational{static_cast<int>(video.framesPerSecond), 1};
    pictureCodec->pix_fmt = AV_PIX_FMT_YUV420P;
    pictureCodec->bit_rate = kPictureBitRate;
    pictureCodec->gop_size = static_cast<int>(video.framesPerSecond);
    if (avcodec_open2(pictureCodec, nullptr, nullptr) < 0 ||
        avcodec_parameters_from_context(pictureStream->codecpar, pictureCodec) < 0)
        return false;
    pictureStream->time_base = pictureCodec->time_base;
    scaler = sws_getContext(video.width, video.height, AV_PIX_FMT_BGRA, video.width, video.height,
                            AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    return scaler != nullptr;
}

bool Mpeg4AviEncoder::AddSoundStream() {
    soundCodec = AddStream(AV_CODEC_ID_PCM_S16LE, soundStream);
    if (!soundCodec)
        return false;
    soundCodec->sample_fmt = AV_SAMPLE_FMT_S16;
    soundCodec->sample_rate = static_cast<int>(video.soundRate);
    soundCodec->ch_layout = AV_CHANNEL_LAYOUT_MONO;
    soundCodec->time_base = AVRational{1, soundCodec->sample_rate};
    if (avcodec_open2(soundCodec, nullptr, nullptr) < 0 ||
        avcodec_parameters_from_context(soundStream->codecpar, soundCodec) < 0)
        return false;
    soundStream->time_base = soundCodec->time_base;
    return true;
}

bool Mpeg4AviEncoder::WritePicture(std::size_t index) {
    av_frame_unref(frame);
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = video.width;
    frame->height = video.height;
    if (av_frame_get_buffer(frame, 0) < 0)
        return false;
    const auto* texels = reinterpret_cast<const uint8_t*>(video.frames[index].data());
    const int stride = video.width * 4;
    sws_scale(scaler, &texels, &stride, 0, video.height, frame->data, frame->linesize);
    frame->pts = static_cast<int64_t>(index);
    return Send(pictureCodec, pictureStream, frame);
}

bool Mpeg4AviEncoder::WriteSound(std::size_t index) {
    if (!soundCodec)
        return true;
    const std::vector<float> part = SoundOfFrame(video, index);
    if (part.empty())
        return true;
    const std::vector<uint8_t> bytes = EncodePcm(part, 16);
    av_frame_unref(frame);
    frame->format = AV_SAMPLE_FMT_S16;
    frame->sample_rate = soundCodec->sample_rate;
    frame->nb_samples = static_cast<int>(part.size());
    if (av_channel_layout_copy(&frame->ch_layout, &soundCodec->ch_layout) < 0 ||
        av_frame_get_buffer(frame, 0) < 0)
        return false;
    std::memcpy(frame->data[0], bytes.data(), bytes.size());
    frame->pts = static_cast<int64_t>(index * (video.soundRate / video.framesPerSecond));
    return Send(soundCodec, soundStream, frame);
}

bool Mpeg4AviEncoder::Send(AVCodecContext* codec, AVStream* stream, AVFrame* input) {
    if (avcodec_send_frame(codec, input) < 0)
        return false;
    while (avcodec_receive_packet(codec, packet) >= 0) {
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        if (av_interleaved_write_frame(format, packet) < 0)
            return false;
    }
    return true;
}

bool Mpeg4AviEncoder::Finish() {
    return Send(pictureCodec, pictureStream, nullptr) &&
           (!soundCodec || Send(soundCodec, soundStream, nullptr)) && av_write_trailer(format) >= 0 &&
           !output.bytes.empty();
}

#include "ui/qt_sound.h"

#include <QFile>
#include <QUrl>
#include <QtEndian>

#include <cmath>

namespace kassio {

namespace {

constexpr int kRate = 22050;

void put32(QByteArray& b, quint32 v) {
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
void put16(QByteArray& b, quint16 v) {
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

}  // namespace

QByteArray soundWave(SoundId id) {
    // Frequency from start to end, length in ms.
    double f0 = 880, f1 = 880;
    int ms = 60;
    switch (id) {
        case SoundId::kRefused:
            f0 = f1 = 180;
            ms = 220;
            break;
        case SoundId::kVoided:
            f0 = 700;
            f1 = 350;
            ms = 140;
            break;
        case SoundId::kAdded:
            f0 = f1 = 1500;
            ms = 45;
            break;
    }
    const int n = kRate * ms / 1000;
    QByteArray pcm;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / n;
        const double f = f0 + (f1 - f0) * t;
        phase += 2 * M_PI * f / kRate;
        const double envelope = std::min(1.0, std::min(t * 20, (1 - t) * 10));
        double s = std::sin(phase) * envelope * 0.4;
        if (id == SoundId::kRefused) s = (std::sin(phase) > 0 ? 0.25 : -0.25) * envelope;
        put16(pcm, static_cast<quint16>(static_cast<qint16>(s * 32767)));
    }
    QByteArray wav("RIFF");
    put32(wav, static_cast<quint32>(36 + pcm.size()));
    wav.append("WAVEfmt ");
    put32(wav, 16);
    put16(wav, 1);
    put16(wav, 1);
    put32(wav, kRate);
    put32(wav, kRate * 2);
    put16(wav, 2);
    put16(wav, 16);
    wav.append("data");
    put32(wav, static_cast<quint32>(pcm.size()));
    wav.append(pcm);
    return wav;
}

QtSound::QtSound() {
    for (SoundId id : {SoundId::kRefused, SoundId::kVoided, SoundId::kAdded}) {
        const QString path = m_dir.filePath(QString("%1.wav").arg(static_cast<int>(id)));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) continue;
        f.write(soundWave(id));
        f.close();
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(path));
        effect->setVolume(0.6f);
        m_effects[id] = std::move(effect);
    }
}

void QtSound::play(SoundId id) {
    auto it = m_effects.find(id);
    if (it != m_effects.end()) it->second->play();
}

}  // namespace kassio

#ifndef FASTDRAWING_H
#define FASTDRAWING_H

class MinMaxMultiDimData;

// Trades a cube's drawing quality for speed while something (a slider drag, a scan) allows it:
// merged faces first and, when drawing is still too slow, no antialiasing as well, one step per
// paint. Without that permission the cube is drawn at full quality again. The settings are
// adapted before a repaint is asked for, never while painting.
class FastDrawing
{
public:
    // Nesting count of the permissions given.
    int count() const { return m_count; }
    void allow(MinMaxMultiDimData &data);
    void release();
    void adapt(MinMaxMultiDimData &data);
    // A paint has shown the last step's effect; the next step may follow.
    void painted() { m_stepDue = true; }

private:
    int m_count = 0;
    bool m_stepDue = true;
};

#endif // FASTDRAWING_H

#include "IdiomFinder.h"

#include <QSet>
#include <algorithm>

namespace {

quint64 edgeKey(int node, uint c)
{
    return (quint64(quint32(node)) << 32) | c;
}

} // namespace

IdiomFinder::IdiomFinder(const QStringList& headwords)
{
    m_nodes.append(Node{});
    QSet<QString> known;
    for (const QString& word : headwords) {
        if (word.isEmpty() || known.contains(word))
            continue;
        known.insert(word);
        const QList<uint> chars = word.toUcs4();
        int node = 0;
        for (uint c : chars) {
            const auto it = m_edges.constFind(edgeKey(node, c));
            if (it != m_edges.cend()) {
                node = *it;
                continue;
            }
            m_nodes.append(Node{});
            const int made = int(m_nodes.size() - 1);
            m_edges.insert(edgeKey(node, c), made);
            node = made;
        }
        m_nodes[node].word = int(m_words.size());
        m_words.append(word);
        m_lengths.append(int(chars.size()));
    }
    // Fail links breadth first: a node's longest proper suffix that is also a path from the
    // root. The edges are kept by (parent, character); list each node's children once.
    QList<QList<std::pair<uint, int>>> children(m_nodes.size());
    for (auto it = m_edges.cbegin(); it != m_edges.cend(); ++it)
        children[int(it.key() >> 32)].append({uint(it.key() & 0xffffffffu), it.value()});
    QList<int> queue;
    queue.reserve(m_nodes.size());
    for (const auto& [c, node] : children[0]) {
        Q_UNUSED(c);
        queue.append(node);
    }
    for (qsizetype head = 0; head < queue.size(); ++head) {
        const int node = queue[head];
        const Node& self = m_nodes[node];
        const int fail = self.fail;
        m_nodes[node].output = m_nodes[fail].word >= 0 ? fail : m_nodes[fail].output;
        for (const auto& [c, next] : children[node]) {
            int f = fail;
            int target = child(f, c);
            while (target < 0 && f != 0) {
                f = m_nodes[f].fail;
                target = child(f, c);
            }
            m_nodes[next].fail = target >= 0 ? target : 0;
            queue.append(next);
        }
    }
}

int IdiomFinder::child(int node, uint c) const
{
    return m_edges.value(edgeKey(node, c), -1);
}

QStringList IdiomFinder::find(const QString& text) const
{
    struct Hit
    {
        qsizetype start;
        int word;
    };
    QList<Hit> hits;
    const QList<uint> chars = text.toUcs4();
    int node = 0;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        int next = child(node, chars[i]);
        while (next < 0 && node != 0) {
            node = m_nodes[node].fail;
            next = child(node, chars[i]);
        }
        node = next >= 0 ? next : 0;
        for (int n = m_nodes[node].word >= 0 ? node : m_nodes[node].output; n > 0;
             n = m_nodes[n].output) {
            const int word = m_nodes[n].word;
            hits.append({i + 1 - m_lengths[word], word});
        }
    }
    std::stable_sort(hits.begin(), hits.end(), [this](const Hit& a, const Hit& b) {
        return a.start != b.start ? a.start < b.start : m_lengths[a.word] > m_lengths[b.word];
    });
    QStringList out;
    QSet<int> listed;
    for (const Hit& hit : hits) {
        if (!listed.contains(hit.word)) {
            listed.insert(hit.word);
            out.append(m_words[hit.word]);
        }
    }
    return out;
}

#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// Finds every headword that occurs in a text, in one pass of an Aho-Corasick automaton over
// all of them: a learner pastes a paragraph and asks which idioms are in it. Building it for
// the whole store takes tens of milliseconds, so it is built once, off the GUI thread; a built
// finder is only read, from any thread.
class IdiomFinder
{
public:
    explicit IdiomFinder(const QStringList& headwords);

    // The headwords in `text`, in the order of where they start; of two starting at the same
    // place the longer first. Each is listed once, at its first place.
    QStringList find(const QString& text) const;

    int headwordCount() const { return int(m_words.size()); }

private:
    struct Node
    {
        int fail = 0;
        int word = -1;   // the headword ending here, -1 for none
        int output = -1; // the nearest node on the fail chain that ends a headword
    };
    int child(int node, uint c) const;

    QStringList m_words;         // distinct headwords, in their first order
    QList<int> m_lengths;        // their length in characters
    QList<Node> m_nodes;         // node 0 is the root
    QHash<quint64, int> m_edges; // (node, character) -> node
};

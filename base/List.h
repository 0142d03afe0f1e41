// Singly linked lists of nodes that carry their own links (T* T::*next), kept by their first and
// last node.
#pragma once

template <class T> void AppendNode(T*& first, T*& last, T* T::*next, T* node) {
    (last ? last->*next : first) = node;
    last = node;
}

// false when the list does not hold node.
template <class T> bool UnlinkNode(T*& first, T*& last, T* T::*next, T* node) {
    T* prev = nullptr;
    T* at = first;
    for (; at && at != node; at = at->*next)
        prev = at;
    if (!at)
        return false;
    (prev ? prev->*next : first) = node->*next;
    if (last == node)
        last = prev;
    return true;
}

// One by one: a recursive chain of destructors would overflow the stack on a long list.
template <class T> void DeleteNodes(T* node, T* T::*next) {
    while (node) {
        T* after = node->*next;
        delete node;
        node = after;
    }
}

// Singly linked lists of nodes that carry their own links (T* T::*next), kept with a pointer to
// their first and their last node. One list may be one of several a node is on.
#pragma once

template <class T> void AppendNode(T*& first, T*& last, T* T::*next, T* node) {
    (last ? last->*next : first) = node;
    last = node;
}

// Takes node out of the list; false, changing nothing, when the list does not hold it.
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

// Deletes node and every node after it, one by one: a recursive chain of destructors would
// overflow the stack on a long list.
template <class T> void DeleteNodes(T* node, T* T::*next) {
    while (node) {
        T* after = node->*next;
        delete node;
        node = after;
    }
}

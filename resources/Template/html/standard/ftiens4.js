// Navigation tree of an exported report. "nodes.js" describes the tree with the calls
// below and the variables USETEXTLINKS, STARTALLOPEN, ICONPATH, foldersTree and the icon
// names (ftv2doc, ftv2node, ...); "left.html" draws it with initializeTree().
//
// Titles are shown as text, never as markup, and only relative links or web links are
// followed.

function TreeFolder(title, link) {
  this.title = String(title);
  this.link = treeSafeLink(link);
  this.children = [];
  this.isOpen = false;
  this.isFolder = true;
}

function TreeDoc(target, title, link) {
  this.title = String(title);
  this.link = treeSafeLink(link);
  this.target = treeTargetFrame(target);
  this.isFolder = false;
}

// A folder; Link is the page shown when its title is clicked ("" for none).
function gFld(title, link) {
  return new TreeFolder(title, link);
}

// A document. Target: "R" the report frame, "B" a new window, "T" the whole window,
// "S" the tree frame itself.
function gLnk(target, title, link) {
  return new TreeDoc(target, title, link);
}

function insFld(parent, folder) {
  parent.children.push(folder);
  return folder;
}

function insDoc(parent, doc) {
  parent.children.push(doc);
  return doc;
}

function treeTargetFrame(code) {
  switch (code) {
    case "B": return "_blank";
    case "T": return "_top";
    case "S": return "_self";
    default: return "basefrm";
  }
}

function treeSafeLink(link) {
  if (typeof link !== "string" || link === "") return "";
  var scheme = /^([a-zA-Z][a-zA-Z0-9+.\-]*):/.exec(link);
  if (scheme && !/^https?$/i.test(scheme[1])) return "";
  return link;
}

function treeSetAll(folder, open) {
  folder.isOpen = open;
  for (var i = 0; i < folder.children.length; i++)
    if (folder.children[i].isFolder) treeSetAll(folder.children[i], open);
}

function treeIcon(name) {
  var img = document.createElement("img");
  img.src = (typeof window[name] === "string") ? window[name] : ICONPATH + name + ".gif";
  img.width = 16;
  img.height = 22;
  img.alt = "";
  img.className = "treeIcon";
  return img;
}

function treeTitle(node, onOpen) {
  var text = document.createTextNode(node.title);
  if (!USETEXTLINKS || !node.link) {
    var span = document.createElement("span");
    span.className = "treeText";
    span.appendChild(text);
    return span;
  }
  var a = document.createElement("a");
  a.className = "treeText";
  a.href = node.link;
  a.target = node.isFolder ? "basefrm" : node.target;
  a.appendChild(text);
  if (onOpen) a.onclick = onOpen;
  return a;
}

// One row: the connectors of the ancestors (Lines holds, per level, whether that
// ancestor has siblings below it), the node's own connector, its icon and its title.
// The root row (Lines null) has no connectors and stays open.
function treeRow(node, lines, isLast, redraw) {
  var row = document.createElement("div");
  row.className = "treeRow";
  var ancestors = lines || [];
  for (var i = 0; i < ancestors.length; i++)
    row.appendChild(treeIcon(ancestors[i] ? "ftv2vertline" : "ftv2blank"));

  var hasChildren = lines !== null && node.isFolder && node.children.length > 0;
  var toggle = function () {
    node.isOpen = !node.isOpen;
    redraw();
    return false;
  };
  if (lines !== null) {
    var joint;
    if (hasChildren)
      joint = (node.isOpen ? "ftv2m" : "ftv2p") + (isLast ? "lastnode" : "node");
    else
      joint = isLast ? "ftv2lastnode" : "ftv2node";
    var jointImg = treeIcon(joint);
    if (hasChildren) {
      var handle = document.createElement("a");
      handle.href = "#";
      handle.className = "treeToggle";
      handle.onclick = toggle;
      handle.appendChild(jointImg);
      row.appendChild(handle);
    } else {
      row.appendChild(jointImg);
    }
  }
  if (node.isFolder)
    row.appendChild(treeIcon(node.isOpen ? "ftv2folderopen" : "ftv2folderclosed"));
  else
    row.appendChild(treeIcon("ftv2doc"));

  var openFolder = null;
  if (hasChildren)
    openFolder = function () {
      if (!node.isOpen) {
        node.isOpen = true;
        redraw();
      }
      return true;
    };
  row.appendChild(treeTitle(node, openFolder));
  return row;
}

function treeAppend(container, folder, lines, redraw) {
  if (!folder.isOpen) return;
  for (var i = 0; i < folder.children.length; i++) {
    var child = folder.children[i];
    var isLast = i === folder.children.length - 1;
    container.appendChild(treeRow(child, lines, isLast, redraw));
    if (child.isFolder) treeAppend(container, child, lines.concat([!isLast]), redraw);
  }
}

function treeDraw(container) {
  while (container.firstChild) container.removeChild(container.firstChild);
  var redraw = function () { treeDraw(container); };
  container.appendChild(treeRow(foldersTree, null, true, redraw));
  treeAppend(container, foldersTree, [], redraw);
}

function initializeTree() {
  var container = document.getElementById("tree");
  if (!container || typeof foldersTree === "undefined") return;
  if (typeof treeSupported === "function" && !treeSupported()) return;
  if (STARTALLOPEN) treeSetAll(foldersTree, true);
  foldersTree.isOpen = true;
  treeDraw(container);
}

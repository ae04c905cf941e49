// What the navigation tree needs of the browser: the DOM calls it builds the tree with.
// Older or stripped-down browsers get the plain list of report pages instead.
var treeBrowser = {
  dom: !!(document.getElementById && document.createElement && document.createTextNode),
  touch: ("ontouchstart" in window)
};

function treeSupported() {
  return treeBrowser.dom;
}
